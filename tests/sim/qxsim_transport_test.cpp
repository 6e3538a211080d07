// The running qxsim program seen by raw clients: framing on TCP, UDP and a
// pseudo-terminal, addressing, the TCP client mode, state kept across a
// restart and the fault options.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "crc16.h"
#include "descriptors.h"
#include "param_block.h"
#include "pseudo_terminal.h"
#include "qxsim_process.h"
#include "temp_dir.h"

using namespace qxtest;

namespace {

const Bytes kReadPwm = {0x03, 0x00, 0x10, 0x00, 0x03};
const Bytes kPwmAnswer = {0x03, 0x06, 0x00, 0x00, 0xC3, 0x50, 0xC3, 0x50};

} // namespace

TEST(QxsimTcp, EchoesTransactionAndWaitsForPartialFrames)
{
    QxsimProcess sim({"--tcp", "0"});
    ASSERT_EQ(sim.lines().size(), 1u);
    EXPECT_EQ(sim.lines()[0].rfind("listening tcp 127.0.0.1:", 0), 0u);
    const int fd = connectTcp(sim.port("listening tcp"));
    ASSERT_GE(fd, 0);
    const Bytes req = mbap(0xBEEF, 1, kReadPwm);
    writeAll(fd, Bytes(req.begin(), req.begin() + 5));
    EXPECT_TRUE(readExactly(fd, 1, 100ms).empty()); // nothing until the frame is whole
    writeAll(fd, Bytes(req.begin() + 5, req.end()));
    const Bytes answer = readMbap(fd);
    EXPECT_EQ(answer, (Bytes {0xBE, 0xEF, 0x00, 0x00, 0x00, 0x09, 0x01, 0x03, 0x06, 0x00, 0x00, 0xC3, 0x50, 0xC3, 0x50}));
    ::close(fd);
}

TEST(QxsimTcp, OtherUnitsGetNoAnswerAndPipelinedRequestsAllDo)
{
    QxsimProcess sim({"--tcp", "127.0.0.1:0", "--unit", "17"});
    const int fd = connectTcp(sim.port("listening tcp"));
    ASSERT_GE(fd, 0);
    Bytes burst = mbap(1, 1, kReadPwm);
    for (uint16_t t = 2; t <= 4; ++t) {
        const Bytes r = mbap(t, 17, kReadPwm);
        burst.insert(burst.end(), r.begin(), r.end());
    }
    writeAll(fd, burst);
    for (uint8_t t = 2; t <= 4; ++t) {
        const Bytes a = readMbap(fd);
        ASSERT_GE(a.size(), 8u);
        EXPECT_EQ(a[1], t);
        EXPECT_EQ(a[6], 17);
        EXPECT_EQ(pduOf(a), kPwmAnswer);
    }
    ::close(fd);
}

TEST(QxsimTcp, MalformedHeaderIsDroppedAndTheLinkStaysUsable)
{
    QxsimProcess sim({"--tcp", "0"});
    const int fd = connectTcp(sim.port("listening tcp"));
    ASSERT_GE(fd, 0);
    writeAll(fd, {0x00, 0x01, 0x00, 0x07, 0x00, 0x06, 0x01, 0x03, 0x00, 0x00, 0x00, 0x01});
    std::mt19937 rng(7);
    Bytes noise(3000);
    for (auto &b : noise)
        b = static_cast<uint8_t>(rng());
    writeAll(fd, noise);
    // the next good request is answered once the garbage has been dropped
    Bytes answer;
    for (int i = 0; i < 50 && answer.empty(); ++i) {
        writeAll(fd, mbap(0x0102, 1, kReadPwm));
        answer = readMbap(fd, 100ms);
    }
    ASSERT_GE(answer.size(), 8u);
    EXPECT_EQ(pduOf(answer), kPwmAnswer);
    ::close(fd);
}

TEST(QxsimUdp, AnswersTheSender)
{
    QxsimProcess sim({"--udp", "0"});
    const int port = sim.port("listening udp");
    ASSERT_GT(port, 0);
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in a {};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const Bytes req = mbap(9, 1, {0x11});
    ::sendto(fd, req.data(), req.size(), 0, reinterpret_cast<sockaddr *>(&a), sizeof a);
    const Bytes answer = readExactly(fd, 70);
    ASSERT_EQ(answer.size(), 70u); // the identity frame the host decodes
    EXPECT_EQ(answer[1], 9);
    EXPECT_EQ(answer[7], 0x11);
    EXPECT_EQ(answer[14], 5); // series
    ::close(fd);
}

TEST(QxsimRtu, AnswersOnThePtyAndIgnoresBadCrcAndOtherAddresses)
{
    QxsimProcess sim({"--pty"});
    const std::string path = sim.ptyPath();
    ASSERT_FALSE(path.empty());
    const int fd = openRawTerminal(path);
    ASSERT_GE(fd, 0);
    Bytes bad = rtu({0x01, 0x03, 0x00, 0x10, 0x00, 0x03});
    bad.back() ^= 0x5A;
    writeAll(fd, bad);
    ::usleep(30'000); // the line must fall silent between frames
    writeAll(fd, rtu({0x02, 0x03, 0x00, 0x10, 0x00, 0x03}));
    ::usleep(30'000);
    writeAll(fd, rtu({0x01, 0x03, 0x00, 0x10, 0x00, 0x03}));
    Bytes expected = {0x01};
    expected.insert(expected.end(), kPwmAnswer.begin(), kPwmAnswer.end());
    EXPECT_EQ(readExactly(fd, 11), rtu(expected));
    EXPECT_TRUE(readExactly(fd, 1, 100ms).empty());
    ::close(fd);
}

TEST(QxsimRtu, BroadcastWritesAreDoneButNotAnswered)
{
    QxsimProcess sim({"--pty"});
    const int fd = openRawTerminal(sim.ptyPath());
    ASSERT_GE(fd, 0);
    writeAll(fd, rtu({0x00, 0x05, 0x00, 0x04, 0xFF, 0x00}));
    ::usleep(30'000); // inter-frame silence
    writeAll(fd, rtu({0x01, 0x01, 0x00, 0x04, 0x00, 0x01}));
    EXPECT_EQ(readExactly(fd, 6), rtu({0x01, 0x01, 0x01, 0x01}));
    ::close(fd);
}

TEST(QxsimRtu, NoiseOnTheLineIsSurvived)
{
    QxsimProcess sim({"--pty"});
    const int fd = openRawTerminal(sim.ptyPath());
    ASSERT_GE(fd, 0);
    std::mt19937 rng(3);
    for (int burst = 0; burst < 200; ++burst) {
        Bytes noise(rng() % 300);
        for (auto &b : noise)
            b = static_cast<uint8_t>(rng());
        writeAll(fd, noise);
    }
    // whatever the noise provoked, a request after a silence is answered
    Bytes answer;
    const Bytes request = rtu({0x01, 0x03, 0x00, 0x10, 0x00, 0x03});
    for (int i = 0; i < 50 && answer.size() != 11; ++i) {
        ::tcflush(fd, TCIFLUSH);
        ::usleep(30'000);
        writeAll(fd, request);
        answer = readExactly(fd, 11, 200ms);
    }
    Bytes expected = {0x01};
    expected.insert(expected.end(), kPwmAnswer.begin(), kPwmAnswer.end());
    EXPECT_EQ(answer, rtu(expected));
    ::close(fd);
}

TEST(QxsimRtu, ParameterBlockTravelsWholeAndChangesTheAddress)
{
    QxsimProcess sim({"--pty"});
    const int fd = openRawTerminal(sim.ptyPath());
    ASSERT_GE(fd, 0);
    writeAll(fd, rtu({0x01, 0x41}));
    const Bytes answer = readExactly(fd, 2 + 1092 + 2);
    ASSERT_EQ(answer.size(), 1096u);
    ASSERT_TRUE(qx::crcMatchesLowFirst(answer.data(), answer.size()));
    qx::PayloadResult r = qx::acceptPayload(answer.data() + 2, 1092);
    ASSERT_EQ(r.status, qx::PayloadStatus::Ok);
    r.block.setU8(qx::ParamLayout::kQXAddr1, 42);
    Bytes write = {0x01, 0x42};
    const Bytes payload = r.block.payload();
    write.insert(write.end(), payload.begin(), payload.end());
    writeAll(fd, rtu(write));
    EXPECT_EQ(readExactly(fd, 5), rtu({0x01, 0x42, 0x01}));
    writeAll(fd, rtu({0x2A, 0x03, 0x00, 0x10, 0x00, 0x03}));
    Bytes expected = {0x2A};
    expected.insert(expected.end(), kPwmAnswer.begin(), kPwmAnswer.end());
    EXPECT_EQ(readExactly(fd, 11), rtu(expected));
    ::close(fd);
}

TEST(QxsimConnect, ConnectsToTheHostAndReconnects)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr *>(&a), sizeof a), 0);
    ASSERT_EQ(::listen(listener, 2), 0);
    socklen_t len = sizeof a;
    ::getsockname(listener, reinterpret_cast<sockaddr *>(&a), &len);
    const std::string where = "127.0.0.1:" + std::to_string(ntohs(a.sin_port));

    QxsimProcess sim({"--connect", where});
    ASSERT_EQ(sim.lines().size(), 1u);
    EXPECT_EQ(sim.lines()[0], "connect " + where);
    for (int round = 0; round < 2; ++round) {
        pollfd p {listener, POLLIN, 0};
        ASSERT_EQ(::poll(&p, 1, static_cast<int>(kWaitLimit.count())), 1);
        const int fd = ::accept(listener, nullptr, nullptr);
        ASSERT_GE(fd, 0);
        writeAll(fd, mbap(static_cast<uint16_t>(round), 1, kReadPwm));
        EXPECT_EQ(pduOf(readMbap(fd)), kPwmAnswer);
        ::close(fd); // the module reconnects within a second or so
        if (round == 0) {
            EXPECT_EQ(sim.readLine(), "connect " + where);
        }
    }
    ::close(listener);
}

TEST(QxsimState, RestartKeepsParameterBlockAndFlashProgram)
{
    TempDir dir;
    qx::ParamBlock written;
    {
        QxsimProcess sim({"--tcp", "0", "--state", dir.path.string()});
        const int fd = connectTcp(sim.port("listening tcp"));
        ASSERT_GE(fd, 0);
        writeAll(fd, mbap(1, 1, {0x41}));
        Bytes answer = readMbap(fd);
        ASSERT_EQ(answer.size(), 8u + 1092u);
        written = qx::acceptPayload(answer.data() + 8, 1092).block;
        written.setText(qx::ParamLayout::kE1LocalIP, 16, "10.20.30.40");
        written.setU8(qx::ParamLayout::kQXAddr1, 3);
        Bytes pdu = {0x42};
        const Bytes payload = written.payload();
        pdu.insert(pdu.end(), payload.begin(), payload.end());
        writeAll(fd, mbap(2, 1, pdu));
        EXPECT_EQ(pduOf(readMbap(fd)), (Bytes {0x42, 0x01}));
        // a one-packet program into FLASH
        for (const Bytes &packet : {Bytes {1, 0, 0, 0, 0, 0}, Bytes {2, 7, 0, 0, 0, 4, 9, 8, 7, 6},
                                    Bytes {4, 0, 0, 0, 0, 0}}) {
            Bytes p = packet;
            const uint16_t crc = qx::crc16(p.data(), p.size());
            p.push_back(static_cast<uint8_t>(crc >> 8));
            p.push_back(static_cast<uint8_t>(crc));
            p.insert(p.begin(), 0x46);
            writeAll(fd, mbap(3, 3, p));
            const Bytes ack = pduOf(readMbap(fd));
            ASSERT_EQ(ack.size(), 33u);
            EXPECT_EQ(ack[1], 0);
        }
        ::close(fd);
        EXPECT_EQ(sim.stop(), 0);
    }
    QxsimProcess again({"--tcp", "0", "--state", dir.path.string()});
    const int fd = connectTcp(again.port("listening tcp"));
    ASSERT_GE(fd, 0);
    writeAll(fd, mbap(4, 3, {0x41}));
    const Bytes answer = readMbap(fd);
    ASSERT_EQ(answer.size(), 8u + 1092u);
    EXPECT_EQ(qx::acceptPayload(answer.data() + 8, 1092).block, written);
    ::close(fd);
    std::ifstream flash(dir.path / "plc_flash.bin", std::ios::binary);
    Bytes program((std::istreambuf_iterator<char>(flash)), std::istreambuf_iterator<char>());
    ASSERT_EQ(program.size(), 25600u);
    EXPECT_EQ(program[7 * 256], 9);
    EXPECT_EQ(program[7 * 256 + 3], 6);
}

TEST(QxsimState, AStateProblemIsLoggedOnceNotWithEveryRequest)
{
    TempDir dir;
    std::ofstream(dir.path / "params.bin") << "too short";
    // the traffic log goes to standard error, which the child inherits
    char logName[] = "/tmp/qxsim-log-XXXXXX";
    const int logFd = ::mkstemp(logName);
    ASSERT_GE(logFd, 0);
    const int savedStderr = ::dup(STDERR_FILENO);
    ::dup2(logFd, STDERR_FILENO);
    ::setenv("QXSIM_VERBOSE", "1", 1);
    {
        QxsimProcess sim({"--tcp", "0", "--state", dir.path.string()});
        ::unsetenv("QXSIM_VERBOSE");
        ::dup2(savedStderr, STDERR_FILENO);
        const int fd = connectTcp(sim.port("listening tcp"));
        ASSERT_GE(fd, 0);
        for (uint16_t t = 1; t <= 3; ++t) {
            writeAll(fd, mbap(t, 1, kReadPwm));
            EXPECT_EQ(pduOf(readMbap(fd)), kPwmAnswer);
        }
        ::close(fd);
        EXPECT_EQ(sim.stop(), 0);
    }
    ::close(savedStderr);
    std::ifstream logFile(logName);
    std::string line;
    int mentions = 0;
    while (std::getline(logFile, line))
        if (line.find("params.bin") != std::string::npos)
            ++mentions;
    ::close(logFd);
    ::unlink(logName);
    EXPECT_EQ(mentions, 1);
}

TEST(QxsimFaults, DropEveryLeavesThoseRequestsUnanswered)
{
    QxsimProcess sim({"--tcp", "0", "--drop-every", "2"});
    const int fd = connectTcp(sim.port("listening tcp"));
    ASSERT_GE(fd, 0);
    Bytes burst;
    for (uint16_t t = 1; t <= 5; ++t) {
        const Bytes r = mbap(t, 1, kReadPwm);
        burst.insert(burst.end(), r.begin(), r.end());
    }
    writeAll(fd, burst);
    for (uint8_t t : {1, 3, 5})
        EXPECT_EQ(readMbap(fd)[1], t);
    ::close(fd);
}

TEST(QxsimFaults, CorruptEveryBreaksTcpHeaderAndRtuCrc)
{
    QxsimProcess sim({"--tcp", "0", "--pty", "--corrupt-every", "2"}, 2);
    const int fd = connectTcp(sim.port("listening tcp"));
    ASSERT_GE(fd, 0);
    writeAll(fd, mbap(1, 1, kReadPwm));
    Bytes a = readMbap(fd);
    EXPECT_EQ(a[3], 0x00);
    writeAll(fd, mbap(2, 1, kReadPwm));
    a = readMbap(fd);
    EXPECT_EQ(a[3], 0x01); // protocol identifier 1
    ::close(fd);

    const int pty = openRawTerminal(sim.ptyPath());
    ASSERT_GE(pty, 0);
    writeAll(pty, rtu({0x01, 0x03, 0x00, 0x10, 0x00, 0x03}));
    a = readExactly(pty, 11);
    EXPECT_TRUE(qx::crcMatchesLowFirst(a.data(), a.size())); // third answer
    writeAll(pty, rtu({0x01, 0x03, 0x00, 0x10, 0x00, 0x03}));
    a = readExactly(pty, 11);
    ASSERT_EQ(a.size(), 11u);
    EXPECT_FALSE(qx::crcMatchesLowFirst(a.data(), a.size()));
    ::close(pty);
}

TEST(QxsimFaults, DelayHoldsTheAnswerBack)
{
    QxsimProcess sim({"--tcp", "0", "--delay-ms", "400"});
    const int fd = connectTcp(sim.port("listening tcp"));
    ASSERT_GE(fd, 0);
    writeAll(fd, mbap(1, 1, kReadPwm));
    EXPECT_TRUE(readExactly(fd, 1, 150ms).empty());
    EXPECT_EQ(pduOf(readMbap(fd)), kPwmAnswer);
    ::close(fd);
}

TEST(QxsimFaults, RefusePartFailsThatFirmwarePartOnce)
{
    QxsimProcess sim({"--tcp", "0", "--refuse-part", "0"});
    const int fd = connectTcp(sim.port("listening tcp"));
    ASSERT_GE(fd, 0);
    std::vector<uint8_t> part(1026, 0x3C);
    part[0] = 0;
    part[1] = 0;
    qx::appendChecksumHighFirst(part);
    part.insert(part.begin(), 0x43);
    writeAll(fd, mbap(1, 1, part));
    EXPECT_EQ(pduOf(readMbap(fd)), (Bytes {0x43, 0x00, 0x00, 0x00}));
    writeAll(fd, mbap(2, 1, part));
    EXPECT_EQ(pduOf(readMbap(fd)), (Bytes {0x43, 0x01, 0x00, 0x00}));
    ::close(fd);
}

TEST(QxsimReport, StatusReportsArriveUnasked)
{
    QxsimProcess sim({"--tcp", "0", "--report-ms", "50"});
    const int fd = connectTcp(sim.port("listening tcp"));
    ASSERT_GE(fd, 0);
    const Bytes report = readMbap(fd);
    ASSERT_EQ(report.size(), 7u + 2u + 185u);
    EXPECT_EQ(report[6], 1);
    EXPECT_EQ(report[7], 0x45);
    EXPECT_EQ(report[8], 185);
    EXPECT_EQ(report[9], 0x7F);
    ::close(fd);
}

TEST(QxsimReport, RtuReportsFollowAHostThatSpoke)
{
    QxsimProcess sim({"--pty", "--report-ms", "50"});
    const int fd = openRawTerminal(sim.ptyPath());
    ASSERT_GE(fd, 0);
    writeAll(fd, rtu({0x01, 0x03, 0x00, 0x10, 0x00, 0x03}));
    EXPECT_EQ(readExactly(fd, 11).size(), 11u);
    const Bytes report = readExactly(fd, 2 + 1 + 185 + 2);
    ASSERT_EQ(report.size(), 190u);
    EXPECT_EQ(report[0], 0x01);
    EXPECT_EQ(report[1], 0x45);
    EXPECT_EQ(report[2], 185);
    EXPECT_TRUE(qx::crcMatchesLowFirst(report.data(), report.size()));
    ::close(fd);
}

TEST(QxsimSerial, SerialDeviceSpeaksRtu)
{
    PtyPair device;
    ASSERT_GE(device.master, 0);
    QxsimProcess sim({"--serial", device.slavePath, "--baud", "9600", "--unit", "9"});
    ASSERT_EQ(sim.lines().size(), 1u);
    EXPECT_EQ(sim.lines()[0], "serial " + device.slavePath);
    writeAll(device.master, rtu({0x09, 0x11}));
    const Bytes answer = readExactly(device.master, 66);
    ASSERT_EQ(answer.size(), 66u);
    EXPECT_EQ(answer[0], 0x09);
    EXPECT_TRUE(qx::crcMatchesLowFirst(answer.data(), answer.size()));
}

// True while the process holds a descriptor open on `path`.
static bool holdsOpen(pid_t pid, const std::string &path)
{
    std::error_code ec;
    const std::filesystem::path fds = "/proc/" + std::to_string(pid) + "/fd";
    for (const auto &entry : std::filesystem::directory_iterator(fds, ec)) {
        // a device that went away reads as "PATH (deleted)"
        const std::string target = std::filesystem::read_symlink(entry.path(), ec).string();
        if (!ec && (target == path || target == path + " (deleted)"))
            return true;
    }
    return false;
}

TEST(QxsimSerial, AHungUpDeviceIsLetGo)
{
    // a device that hangs up (an unplugged adapter) reports itself readable
    // for ever; qxsim must let it go instead of spinning on it
    PtyPair device;
    ASSERT_GE(device.master, 0);
    const std::string name = device.slavePath;
    QxsimProcess sim({"--serial", name});
    ASSERT_EQ(sim.lines().size(), 1u);
    ASSERT_TRUE(holdsOpen(sim.pid(), name));
    device.close();
    const int64_t deadline = nowMs() + kWaitLimit.count();
    while (holdsOpen(sim.pid(), name) && nowMs() < deadline)
        ::usleep(10'000);
    EXPECT_FALSE(holdsOpen(sim.pid(), name));
    EXPECT_EQ(sim.stop(), 0);
}

TEST(QxsimProgram, HelpAndBadOptions)
{
    QxsimProcess help({"--help"});
    ASSERT_FALSE(help.lines().empty());
    EXPECT_EQ(help.lines()[0], "Usage: qxsim [OPTIONS]");
    EXPECT_EQ(help.waitExit(), 0);
    QxsimProcess bad({"--unit", "300"}, 0);
    EXPECT_EQ(bad.waitExit(), 2);
    // the model code is one byte of the parameter block
    QxsimProcess model({"--model", "256"}, 0);
    EXPECT_EQ(model.waitExit(), 2);
}

TEST(QxsimProgram, OverlongPortsAreRefusedNotFatal)
{
    QxsimProcess tcp({"--tcp", "127.0.0.1:99999999999999999999999"}, 0);
    EXPECT_EQ(tcp.waitExit(), 1);
    QxsimProcess connect({"--connect", "127.0.0.1:000000000000000000000001"}, 0);
    EXPECT_EQ(connect.waitExit(), 1);
}
