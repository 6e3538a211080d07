// Reading the library's event records into what the shell shows: counters and
// log lines (kEventLog), connection states (kEventConnection) and identity
// fields (kEventIdentity); the areas read their own events. All texts come
// out as UTF-8.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace qx {

// kEventLog. Counters in panel order: TxCmd, RxCmd, TxByte, RxByte, then the
// six response classes, each as "%u".
struct StatisticsView
{
    std::array<std::string, 10> counters;
    bool hasLogLine = false;
    std::string logLine; // converted from GBK, "\r\n" appended
};
StatisticsView readStatistics(const uint8_t *record);

// kEventConnection.
struct ConnectionView
{
    uint32_t transportType = 0;
    int32_t state = 0;
    std::string peer; // "IP:port" (TCP server states 9 and 13)
};
ConnectionView readConnection(const uint8_t *record);

// kEventIdentity, fields converted from GBK; series as "0x0" and the decimal
// byte.
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

// Bytes of the record delivered with each event code (0 for codes that are
// never delivered), so that a copy can outlive the callback.
std::size_t eventRecordSize(int32_t code);

} // namespace qx
