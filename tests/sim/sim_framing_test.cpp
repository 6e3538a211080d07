// Cutting requests out of RTU and MBAP byte streams, and the fault plan.
#include "sim_framing.h"

#include <gtest/gtest.h>

#include <random>

#include "crc16.h"
#include "frames.h"
#include "param_block.h"

using namespace qx;
using namespace qx::sim;
using qxtest::Bytes;
using qxtest::rtu;

namespace {

constexpr uint64_t kSilence = 5000;

Bytes paramWriteFrame(uint8_t model)
{
    ParamBlock b;
    b.setU8(ParamLayout::kQXMode, model);
    Bytes f = {0x01, 0x42};
    const Bytes p = b.payload();
    f.insert(f.end(), p.begin(), p.end());
    return rtu(f);
}

} // namespace

TEST(RtuFraming, KnownLengthsAreCutWithoutWaitingForSilence)
{
    RtuReceiver rx(kSilence);
    std::vector<Request> out;
    Bytes two = rtu({0x01, 0x03, 0x00, 0x00, 0x00, 0x08});
    const Bytes second = rtu({0x01, 0x0F, 0x00, 0x05, 0x00, 0x01, 0x01, 0x01});
    EXPECT_EQ(second, (Bytes {0x01, 0x0F, 0x00, 0x05, 0x00, 0x01, 0x01, 0x01, 0x23, 0x57}));
    two.insert(two.end(), second.begin(), second.end());
    rx.feed(two.data(), 3, 0, out);
    EXPECT_TRUE(out.empty());
    rx.feed(two.data() + 3, two.size() - 3, 10, out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].unit, 1);
    EXPECT_EQ(out[0].pdu, (Bytes {0x03, 0x00, 0x00, 0x00, 0x08}));
    EXPECT_EQ(out[1].pdu.size(), 7u);
    EXPECT_FALSE(rx.pending());
}

TEST(RtuFraming, ParameterWriteFormFollowsTheModelByte)
{
    // a full block whose first 110 frame bytes happen to end in a matching
    // CRC must not be taken for a compact one
    ParamBlock lookalike;
    lookalike.setU8(ParamLayout::kQXMode, 155);
    Bytes head = {0x01, 0x42};
    head.insert(head.end(), lookalike.data(), lookalike.data() + ParamLayout::kCompactPayloadSize);
    const uint16_t crc = crc16(head.data(), head.size());
    lookalike.setU8(ParamLayout::kCompactPayloadSize, static_cast<uint8_t>(crc));
    lookalike.setU8(ParamLayout::kCompactPayloadSize + 1, static_cast<uint8_t>(crc >> 8));

    Bytes frame = {0x01, 0x42};
    const Bytes payload = lookalike.payload();
    frame.insert(frame.end(), payload.begin(), payload.end());
    frame = rtu(frame);
    ASSERT_TRUE(crcMatchesLowFirst(frame.data(), 2 + ParamLayout::kCompactPayloadSize + 2));
    for (const Bytes &f : {frame, paramWriteFrame(230)}) {
        RtuReceiver rx(kSilence);
        std::vector<Request> out;
        rx.feed(f.data(), f.size(), 0, out);
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(out[0].pdu.size(), f.size() - 3);
        EXPECT_FALSE(rx.pending());
    }
}

TEST(RtuFraming, TransferPacketsEndWhereTheirFieldsSay)
{
    Bytes plc = {0x01, 0x46, 0x02, 0x00, 0x00, 0x40, 0x00, 0x03, 0xAA, 0xBB, 0xCC, 0x12, 0x34};
    plc = rtu(plc);
    RtuReceiver rx(kSilence);
    std::vector<Request> out;
    rx.feed(plc.data(), plc.size(), 0, out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].pdu.size(), 12u);
}

TEST(RtuFraming, UnknownFunctionsEndAtSilence)
{
    RtuReceiver rx(kSilence);
    std::vector<Request> out;
    const Bytes f = rtu({0x01, 0x2B, 0x0E, 0x01, 0x00});
    rx.feed(f.data(), f.size(), 100, out);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(rx.deadline(), 100 + kSilence);
    rx.idle(100 + kSilence - 1, out);
    EXPECT_TRUE(out.empty());
    rx.idle(100 + kSilence, out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].pdu, (Bytes {0x2B, 0x0E, 0x01, 0x00}));
}

TEST(RtuFraming, BadCrcIsDroppedAtSilenceAndTheNextFrameIsTaken)
{
    RtuReceiver rx(kSilence);
    std::vector<Request> out;
    Bytes bad = rtu({0x01, 0x03, 0x00, 0x00, 0x00, 0x08});
    bad[7] ^= 0x01;
    rx.feed(bad.data(), bad.size(), 0, out);
    EXPECT_TRUE(out.empty());
    EXPECT_TRUE(rx.pending());
    const Bytes good = rtu({0x01, 0x04, 0x00, 0x00, 0x00, 0x02});
    rx.feed(good.data(), good.size(), 2 * kSilence, out); // after a silence
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].pdu[0], 0x04);
    EXPECT_EQ(rx.dropped(), 1u);
}

TEST(RtuFraming, EndlessNoiseIsDropped)
{
    RtuReceiver rx(kSilence);
    std::vector<Request> out;
    Bytes noise(5000, 0x42); // "0x42" frames never match their CRC
    rx.feed(noise.data(), noise.size(), 0, out);
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(rx.pending());
}

TEST(MbapFraming, PartialFramesWaitAndTransactionIsKept)
{
    Bytes buffer = {0x12, 0x34, 0x00, 0x00, 0x00, 0x06, 0x05, 0x03};
    Request r;
    EXPECT_EQ(cutMbap(buffer, r), CutResult::Wait);
    buffer.insert(buffer.end(), {0x00, 0x00, 0x00, 0x08, 0x99});
    ASSERT_EQ(cutMbap(buffer, r), CutResult::Frame);
    EXPECT_EQ(r.transaction, 0x1234);
    EXPECT_EQ(r.unit, 5);
    EXPECT_EQ(r.pdu, (Bytes {0x03, 0x00, 0x00, 0x00, 0x08}));
    EXPECT_EQ(buffer, (Bytes {0x99}));
    EXPECT_EQ(wrapMbap(0x1234, 5, {0x03, 0x02, 0x00, 0x2A}),
              (Bytes {0x12, 0x34, 0x00, 0x00, 0x00, 0x05, 0x05, 0x03, 0x02, 0x00, 0x2A}));
}

TEST(MbapFraming, BadHeadersAreMalformed)
{
    Request r;
    Bytes protocol = {0x00, 0x01, 0x00, 0x01, 0x00, 0x02, 0x01, 0x11};
    EXPECT_EQ(cutMbap(protocol, r), CutResult::Malformed);
    Bytes empty = {0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x01};
    EXPECT_EQ(cutMbap(empty, r), CutResult::Malformed);
    Bytes huge = {0x00, 0x01, 0x00, 0x00, 0x0F, 0xFB, 0x01};
    EXPECT_EQ(cutMbap(huge, r), CutResult::Malformed);
    // the longest maker's request still fits
    Bytes params = {0x00, 0x01, 0x00, 0x00, 0x04, 0x46, 0x01, 0x42};
    params.resize(6 + 0x0446, 0);
    EXPECT_EQ(cutMbap(params, r), CutResult::Frame);
    EXPECT_EQ(r.pdu.size(), 1093u);
}

TEST(FrameSpacing, ReportAndAnswersKeepTheGapBothWays)
{
    constexpr uint64_t kGap = FrameSpacing::kGapUs;
    FrameSpacing link;
    EXPECT_EQ(link.answerTime(1000), 1000u);
    link.answerSent(1000);
    // a report right behind an answer waits
    link.reportDue();
    EXPECT_EQ(link.reportTime(), 1000 + kGap);
    // an answer that comes while the report waits goes the gap after it,
    // so that polling cannot hold the report back for ever
    EXPECT_EQ(link.answerTime(5000), 1000 + 2 * kGap);
    link.reportSent(1000 + kGap);
    EXPECT_FALSE(link.reportPending());
    // an answer right behind a report waits too
    EXPECT_EQ(link.answerTime(1000 + kGap + 1), 1000 + 2 * kGap);
    EXPECT_EQ(link.answerTime(90000), 90000u);
}

TEST(FaultPlanCount, DropAndCorruptCountTheirOwnWay)
{
    FaultPlan plan(3, 2, 7);
    std::string seen;
    for (int i = 0; i < 9; ++i) {
        const FaultPlan::Decision d = plan.next();
        seen += d.drop ? 'D' : d.corrupt ? 'C' : '.';
        if (!d.drop) {
            EXPECT_EQ(d.delayMs, 7u);
        }
    }
    // answers are counted without the dropped requests
    EXPECT_EQ(seen, ".CD.CD.CD");
    std::vector<uint8_t> f = wrapRtu(1, {0x03, 0x02, 0x00, 0x01});
    corruptRtu(f);
    EXPECT_FALSE(crcMatchesLowFirst(f.data(), f.size()));
}

TEST(Robustness, RandomStreamsNeverBreakTheCutters)
{
    std::mt19937 rng(99);
    RtuReceiver rx(kSilence);
    Bytes tcp;
    uint64_t now = 0;
    std::size_t frames = 0;
    for (int i = 0; i < 20000; ++i) {
        Bytes chunk(rng() % 64);
        for (auto &b : chunk)
            b = static_cast<uint8_t>(rng() % 4 == 0 ? 0 : rng());
        std::vector<Request> out;
        now += rng() % 8000;
        rx.feed(chunk.data(), chunk.size(), now, out);
        rx.idle(now, out);
        frames += out.size();
        tcp.insert(tcp.end(), chunk.begin(), chunk.end());
        Request r;
        for (;;) {
            const CutResult c = cutMbap(tcp, r);
            if (c == CutResult::Malformed)
                tcp.clear();
            if (c != CutResult::Frame)
                break;
            ++frames;
        }
    }
    // after the noise and a silence, a good request is cut again
    std::vector<Request> out;
    rx.idle(now + kSilence, out);
    out.clear();
    const Bytes good = rtu({0x07, 0x03, 0x00, 0x01, 0x00, 0x01});
    rx.feed(good.data(), good.size(), now + 2 * kSilence, out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].unit, 7);
    tcp.clear();
    const Bytes req = wrapMbap(3, 7, {0x11});
    tcp = req;
    Request r;
    EXPECT_EQ(cutMbap(tcp, r), CutResult::Frame);
    RecordProperty("framesFromNoise", static_cast<int>(frames));
}
