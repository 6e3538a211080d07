// Reading the library's event records into what the shell shows: counters
// and log lines (event -2), connection states (event -1), identity fields
// (event 0), transfer acknowledgements (16 to 18) and the values routed to
// the module pages (6, 8, 14, 19). All texts come out as UTF-8.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace qx {

// Event -2. Counters in panel order: TxCmd, RxCmd, TxByte, RxByte, then the
// six response classes, each as "%u".
struct StatisticsView
{
    std::array<std::string, 10> counters;
    bool hasLogLine = false;
    std::string logLine; // converted from GBK, "\r\n" appended
};
StatisticsView readStatistics(const uint8_t *record);

// Event -1.
struct ConnectionView
{
    uint32_t transportType = 0;
    int32_t state = 0;
    std::string peer; // "IP:port" (TCP server states 9 and 13)
};
ConnectionView readConnection(const uint8_t *record);

// Event 0, fields converted from GBK; series as "0x0" and the decimal byte.
struct IdentityView
{
    std::string firmwareVersion;
    std::string driverVersion;
    std::string modelName;
    std::string series;
    std::string serialNumber;
    std::string factoryDate;
    std::string description;
};
IdentityView readIdentity(const uint8_t *record);

// Events 6, 8, 14 and 19: the register bytes as received and their count,
// limited to what the record can hold.
struct RegisterBytes
{
    const uint8_t *data = nullptr;
    std::size_t length = 0;
};
RegisterBytes readRegisterBytes(const uint8_t *record, std::size_t capacity);

// Events 16 and 17: the part to send next, and a log line when the module
// refused the last one.
struct TransferStep
{
    int kind = 0;
    int32_t nextPart = 0;
    std::string logLine;
};
TransferStep readTransferStep(int kind, const uint8_t *record);

// Event 18: the module's status and the packet it echoes (mode, block, then
// offset and length high byte first), read only as far as the reply
// reached. Status 0 is success; any other status is an error code and gives
// a log line.
struct PlcAck
{
    bool complete = false; // status and the whole echo arrived
    bool success = false;
    uint8_t status = 0;
    uint8_t mode = 0;
    uint8_t block = 0;
    uint16_t offset = 0;
    uint16_t length = 0;
    std::string logLine;
};
PlcAck readPlcAck(const uint8_t *record);

// Register values as they arrived: `count` of them came in the answer, the
// rest of the array is zero.
template<typename T, std::size_t N>
struct ArrivedValues
{
    std::array<T, N> values {};
    std::size_t count = 0;

    // The first `n` values, or fewer when fewer arrived.
    std::span<const T> first(std::size_t n) const { return {values.data(), n < count ? n : count}; }
    std::span<const T> all() const { return first(N); }
};

// Event 6: up to 48 big-endian 32-bit values; event 8: up to 16 big-endian
// 16-bit values. Only whole values count.
ArrivedValues<uint32_t, 48> readInputRegisterValues(const uint8_t *record);
ArrivedValues<uint16_t, 16> readHoldingRegisterValues(const uint8_t *record);

// Event 19, split by the flag byte; a section that the record is too short
// to hold is left out rather than read past the data.
struct StatusReport
{
    uint8_t flags = 0;
    std::optional<std::array<uint8_t, 4>> inputBits;
    std::optional<std::array<uint8_t, 4>> coilBits;
    std::optional<std::array<uint32_t, 8>> analog32;
    std::optional<std::array<uint16_t, 8>> analog16;
    std::optional<std::array<uint32_t, 32>> pulse;
};
StatusReport readStatusReport(const uint8_t *record);

// Bytes of the record delivered with each event code (0 for codes that are
// never delivered), so that a copy can outlive the callback.
std::size_t eventRecordSize(int32_t code);

} // namespace qx
