// The TCP client transport against libmodbus as the module (Linux only:
// Debian has no Windows build of libmodbus; the Windows suites read qxsim
// instead).
#include <gtest/gtest.h>

#include "modbus_peer.h"
#include "qxlib_harness.h"

using namespace qxtest;

namespace {

using TcpClient = PortTest;

} // namespace

TEST_F(TcpClient, LibmodbusModuleIsReadAndWritten)
{
    ModbusPeer module;
    intptr_t handle = 0;
    runLibmodbusScenario(module, tcpClientSettings(module.port()), handle);
}
