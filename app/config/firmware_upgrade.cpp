// The firmware parts and their acknowledgement-driven sequence.
#include "firmware_upgrade.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "byte_io.h"
#include "config_texts.h"
#include "crc16.h"
#include "file_bytes.h"
#include "text_format.h"

namespace qx {

namespace {

namespace L = FirmwarePartLayout;

const char *progressFormat(int kind)
{
    return kind == kTransferBios ? texts::kBiosProgress : texts::kFirmwareProgress;
}

const char *timeoutLine(int kind)
{
    return kind == kTransferBios ? texts::kBiosTimeout : texts::kFirmwareTimeout;
}

FirmwareLoadResult tooLarge(const std::string &name, uint64_t size)
{
    return {false, formatText(texts::kFirmwareTooLarge, name.c_str(), static_cast<unsigned long long>(size)), {}};
}

} // namespace

bool isFirmwareTransferKind(int kind)
{
    return kind == kTransferBios || kind == kTransferFirmware;
}

uint32_t firmwarePartCount(std::size_t size)
{
    return static_cast<uint32_t>(size / L::kPartSize + 1);
}

std::vector<uint8_t> buildFirmwarePart(const std::vector<uint8_t> &image, uint16_t index)
{
    std::vector<uint8_t> p(L::kPayloadSize, kFirmwareFill);
    putU16be(p.data(), L::kPartIndex, index);
    const std::size_t from = std::size_t(index) * L::kPartSize;
    if (from < image.size()) {
        const std::size_t n = std::min(L::kPartSize, image.size() - from);
        std::memcpy(p.data() + L::kImage, image.data() + from, n);
    }
    putU16be(p.data(), L::kChecksum, crc16(p.data(), L::kChecksum));
    return p;
}

FirmwareLoadResult FirmwareUpgrade::loadFile(const std::string &path)
{
    // one byte more than an image may have tells a file that is too long
    const FileReadResult read = readFileBytes(path, kFirmwareMaxImage + 1);
    if (!read.ok)
        return {false, formatText(texts::kFirmwareCannotOpen, path.c_str(), std::strerror(read.error)), {}};
    if (read.size > kFirmwareMaxImage || read.bytes.size() > kFirmwareMaxImage)
        return tooLarge(path, std::max<uint64_t>(read.size, read.bytes.size()));
    return loadImage(std::vector<uint8_t>(read.bytes.begin(), read.bytes.end()), path);
}

FirmwareLoadResult FirmwareUpgrade::loadImage(std::vector<uint8_t> bytes, const std::string &name)
{
    if (running())
        return {};
    if (bytes.size() > kFirmwareMaxImage)
        return tooLarge(name, bytes.size());
    FirmwareLoadResult r;
    r.ok = true;
    m_acknowledged = 0;
    if (bytes.size() <= 1) {
        m_image.clear();
        return r;
    }
    m_image = std::move(bytes);
    r.log = std::string(texts::kFilePathLog) + name
        + formatText(texts::kFirmwareFileSize, static_cast<unsigned>(m_image.size())) + "\r\n";
    return r;
}

FirmwareStep FirmwareUpgrade::start(int kind)
{
    if (running() || !isFirmwareTransferKind(kind))
        return {};
    if (m_image.empty()) {
        FirmwareStep step;
        step.message = texts::kFirmwareNoImage;
        return step;
    }
    m_kind = kind;
    m_acknowledged = 0;
    return send(0);
}

FirmwareStep FirmwareUpgrade::acknowledge(const FirmwareAck &ack)
{
    // the part being sent again (refused), or the one after it (stored)
    if (!running() || ack.kind != m_kind || ack.nextPart < 0
        || (uint32_t(ack.nextPart) != m_part && uint32_t(ack.nextPart) != m_part + 1))
        return {};
    const uint32_t next = uint32_t(ack.nextPart);
    m_acknowledged = next;
    if (next < partsTotal())
        return send(next);
    m_part = kIdle;
    FirmwareStep step;
    step.kind = FirmwareStep::Kind::Finished;
    step.transferKind = m_kind;
    step.success = true;
    step.message = texts::kFirmwareDone;
    return step;
}

FirmwareStep FirmwareUpgrade::timeout()
{
    if (!running())
        return {};
    FirmwareStep step = send(m_part);
    step.log = timeoutLine(m_kind) + step.log;
    return step;
}

FirmwareStep FirmwareUpgrade::cancel()
{
    if (!running())
        return {};
    m_part = kIdle;
    FirmwareStep step;
    step.kind = FirmwareStep::Kind::Finished;
    step.transferKind = m_kind;
    step.message = texts::kFirmwareCancelled;
    return step;
}

FirmwareStep FirmwareUpgrade::send(uint32_t part)
{
    m_part = part;
    FirmwareStep step;
    step.kind = FirmwareStep::Kind::Send;
    step.transferKind = m_kind;
    step.part = static_cast<uint16_t>(part);
    step.payload = buildFirmwarePart(m_image, step.part);
    step.log = formatText(progressFormat(m_kind), part + 1, partsTotal(), unsigned(L::kPartSize), imageSize());
    return step;
}

FirmwareStep runUpgrade(FirmwareUpgrade &upgrade, FirmwareStep step, const FirmwareLink &link, int ackTimeoutMs)
{
    using Clock = std::chrono::steady_clock;
    auto cancelled = [&] { return link.cancel != nullptr && link.cancel->load(); };
    Clock::time_point deadline;
    for (;;) {
        if (step.kind == FirmwareStep::Kind::Send) {
            link.place(step);
            deadline = Clock::now() + std::chrono::milliseconds(ackTimeoutMs);
        }
        if (step.kind != FirmwareStep::Kind::Nothing && link.report)
            link.report(step);
        if (step.kind == FirmwareStep::Kind::Finished || !upgrade.running())
            return step;
        if (cancelled()) {
            step = upgrade.cancel();
            continue;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            step = upgrade.timeout();
            continue;
        }
        // in slices, so that a cancel is seen while no acknowledgement comes
        const int wait = link.cancel != nullptr ? std::min<int>(int(left.count()), kFirmwareCancelPollMs)
                                                : int(left.count());
        const std::optional<FirmwareAck> ack = link.waitAck(wait);
        // an ignored acknowledgement leaves the deadline where it was
        step = ack ? upgrade.acknowledge(*ack) : FirmwareStep();
    }
}

} // namespace qx
