// Reading the library's event records into what the shell shows: counters
// and log lines (event -2), connection states (event -1), identity fields
// (event 0), the parameter block check (event 14), the write answer (event
// 15), transfer acknowledgements (16 to 18) and the values routed to the
// module pages (6, 8, 19). All texts come out as UTF-8.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

// Event 14: the block without its checksum, or the operator's message.
struct ParamBlockCheck
{
    bool ok = false;
    std::string message;
    std::vector<uint8_t> block;
};
ParamBlockCheck checkParamBlock(const uint8_t *record);

// Event 15.
struct ParamWriteAnswer
{
    bool written = false;
    std::string message;
};
ParamWriteAnswer readParamWriteAnswer(const uint8_t *record);

// Events 16 and 17: the part to send next, and a log line when the module
// refused the last one.
struct TransferStep
{
    int kind = 0;
    int32_t nextPart = 0;
    std::string logLine;
};
TransferStep readTransferStep(int kind, const uint8_t *record);

// Event 18: success when the status is 0; otherwise a log line with the code.
struct PlcStep
{
    bool success = false;
    uint8_t status = 0;
    int32_t value = 0;
    std::vector<uint8_t> data; // the reply's data, status byte first
    std::string logLine;
};
PlcStep readPlcStep(const uint8_t *record);

// Event 6: 48 big-endian 32-bit values; event 8: 16 big-endian 16-bit values.
std::array<uint32_t, 48> readInputRegisterValues(const uint8_t *record);
std::array<uint16_t, 16> readHoldingRegisterValues(const uint8_t *record);

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
