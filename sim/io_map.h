// The simulated module's address map and its live behaviour: outputs wired
// back to inputs, inputs that toggle by themselves, PWM outputs, pulse
// counters and slowly moving analog inputs. Time is passed in by the caller
// (microseconds from any fixed origin), so tests can drive it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qx::sim {

namespace IoMap {
// Table sizes: every area the pages address, sub-stations 1 to 10 included.
constexpr std::size_t kCoilCount = 1024;
constexpr std::size_t kInputCount = 1024;
constexpr std::size_t kInputRegisterCount = 1024;
constexpr std::size_t kHoldingRegisterCount = 1024;

constexpr std::size_t kPointCount = 24; // X1..X24, Y1..Y24
constexpr std::size_t kWiredBack = 8; // X1..X8 follow Y1..Y8
constexpr std::size_t kAnalogCount = 8;
constexpr std::size_t kAiRegister = 0; // AI1..AI8, u32 high register first
constexpr std::size_t kCounterRegister = 24; // X1..X24 counters, u32
constexpr std::size_t kAoRegister = 0; // AO1..AO8
constexpr std::size_t kPwmRegister = 16; // unit, high, low of Y1; Y3 at 22, ...
constexpr std::size_t kPwmRunCoil = 32; // Y1 at 32, Y3 at 34, ...
constexpr std::size_t kPwmCount = 4;
constexpr std::size_t kClearCoil = 64; // clears the counter of X1..X24
constexpr std::size_t kSubCounterRegister = 256; // + 24 x (s - 1), X1..X12 counters
constexpr std::size_t kSubCounterCount = 12;
constexpr std::size_t kSubClearCoil = 512; // + 32 x (s - 1)
constexpr std::size_t kOnlineInput = 512; // sub-station s at 512 + s - 1
constexpr std::size_t kSubStations = 10;
constexpr std::size_t kOnlineSubStations = 8; // 1..8 answer, 9 and 10 do not

// The test area: while the test-mode coil is 1, X1..X24 follow the test
// coils and AI1..AI8 the test registers instead of their own behaviour, so
// that a master can drive the inputs a PLC program reads.
constexpr std::size_t kTestModeCoil = 400;
constexpr std::size_t kTestInputCoil = 416; // X1..X24
constexpr std::size_t kTestAiRegister = 400; // holding, AI1..AI8 raw, u32 high register first

// The PLC program's areas.
constexpr std::size_t kVariableRegister = 512; // holding, V1..V256, u32 high register first
constexpr std::size_t kStoreRegister = 512; // input, the stored data groups (below)
constexpr std::size_t kStoreInputs = kStoreRegister; // X1..X32 bits, u32
constexpr std::size_t kStoreOutputs = kStoreRegister + 2; // Y1..Y32 bits, u32
constexpr std::size_t kStoreAi = kStoreRegister + 4; // AI1..AI8, u32 each
constexpr std::size_t kStoreAo = kStoreRegister + 20; // AO1..AO8
constexpr std::size_t kStoreCounters = kStoreRegister + 28; // X1..X24 counters, u32 each
constexpr std::size_t kPlcStatusRegister = 600; // input: 1 while a program runs
constexpr std::size_t kPlcScanCountRegister = 601; // input: scans since it started, u32
constexpr std::size_t kPlcBlockCountRegister = 603; // input: its running blocks
} // namespace IoMap

class IoState
{
public:
    IoState();

    // Brings the live values up to time `nowUs`; time never runs backwards
    // (an earlier time is taken as the last one).
    void advance(uint64_t nowUs);

    bool coil(std::size_t a) const { return m_coils[a] != 0; }
    bool input(std::size_t a) const { return m_inputs[a] != 0; }
    uint16_t inputRegister(std::size_t a) const { return m_inputRegisters[a]; }
    uint16_t holdingRegister(std::size_t a) const { return m_holding[a]; }

    // Writes with their side effects (counter clearing, PWM start, edges of
    // the wired-back inputs); the caller has checked the address.
    void writeCoil(std::size_t a, bool on);
    void writeHoldingRegister(std::size_t a, uint16_t value);

    uint32_t counter(std::size_t index) const { return m_counters[index]; }
    void setCounter(std::size_t index, uint32_t value);
    // For the areas the module's program fills (stored data, PLC status).
    void setInputRegister(std::size_t a, uint16_t value) { m_inputRegisters[a] = value; }
    bool testMode() const { return m_coils[IoMap::kTestModeCoil] != 0; }

private:
    void refreshInputs();
    void publishCounters();
    uint64_t pwmPeriodUs(std::size_t pwm, uint64_t &highUs) const;
    bool pwmLevel(std::size_t pwm, uint64_t t) const;
    uint64_t pwmRisingEdges(std::size_t pwm, uint64_t t) const;

    std::vector<uint8_t> m_coils;
    std::vector<uint8_t> m_inputs;
    std::vector<uint16_t> m_inputRegisters;
    std::vector<uint16_t> m_holding;
    std::array<uint32_t, IoMap::kPointCount> m_counters {};
    std::array<bool, IoMap::kPwmCount> m_pwmRunning {};
    std::array<uint64_t, IoMap::kPwmCount> m_pwmStartUs {};
    uint64_t m_originUs = 0;
    uint64_t m_nowUs = 0;
    bool m_started = false;
};

} // namespace qx::sim
