// The command line and the window's size and place on the screen.
#include <string>

#include <gtest/gtest.h>

#include "command_line.h"
#include "window_sizing.h"

namespace {

using namespace qx;

TEST(CommandLine, ConnectTargets)
{
    auto c = parseCommandLine({"--connect", "tcp-client:127.0.0.1:1502", "--address", "7"});
    ASSERT_TRUE(c.ok) << c.error;
    ASSERT_TRUE(c.connect);
    EXPECT_EQ(c.connect->kind, ConnectionKind::TcpClient);
    EXPECT_EQ(c.connect->host, "127.0.0.1");
    EXPECT_EQ(c.connect->port, 1502);
    EXPECT_EQ(*c.address, "7");

    std::string why;
    auto u = parseConnectTarget("udp:10.0.0.9:10001:20002", why);
    ASSERT_TRUE(u);
    EXPECT_EQ(u->kind, ConnectionKind::Udp);
    EXPECT_EQ(*u->localPort, 20002);
    EXPECT_FALSE(parseConnectTarget("udp:10.0.0.9:10001", why)->localPort);

    auto s = parseConnectTarget("tcp-server:10001", why);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->kind, ConnectionKind::TcpServer);
    EXPECT_TRUE(s->host.empty());
    EXPECT_EQ(parseConnectTarget("tcp-server:127.0.0.1:9", why)->host, "127.0.0.1");

    auto p = parseConnectTarget("serial:/dev/pts/3:9600", why);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->path, "/dev/pts/3");
    EXPECT_EQ(*p->baudRate, 9600u);
    EXPECT_FALSE(parseConnectTarget("serial:/dev/ttyS0", why)->baudRate);
}

TEST(CommandLine, RefusesWhatItCannotUse)
{
    EXPECT_FALSE(parseCommandLine({"--connect", "tcp-client:localhost:1"}).ok);
    EXPECT_FALSE(parseCommandLine({"--connect", "tcp-client:127.0.0.1:70000"}).ok);
    EXPECT_FALSE(parseCommandLine({"--connect", "tcp-client:127.0.0.1"}).ok);
    EXPECT_FALSE(parseCommandLine({"--connect", "modem:1"}).ok);
    EXPECT_FALSE(parseCommandLine({"--connect"}).ok);
    EXPECT_FALSE(parseCommandLine({"--bogus"}).ok);
    EXPECT_FALSE(parseCommandLine({"--quit-after", "soon"}).ok);
    EXPECT_FALSE(parseCommandLine({"--address", "0"}).ok);
    EXPECT_FALSE(parseCommandLine({"--address", "abc"}).ok);
    auto h = parseCommandLine({"--help"});
    EXPECT_TRUE(h.ok && h.help);
    EXPECT_NE(commandLineHelp().find("tcp-server:[ADDR:]PORT"), std::string::npos);
}

TEST(WindowSizing, FactorsChangeAfterEachBoundary)
{
    EXPECT_DOUBLE_EQ(widthFactor(1024), 1.0);
    EXPECT_DOUBLE_EQ(widthFactor(1025), 0.95);
    EXPECT_DOUBLE_EQ(widthFactor(1366), 0.85);
    EXPECT_DOUBLE_EQ(widthFactor(1920), 0.7);
    EXPECT_DOUBLE_EQ(widthFactor(3720), 0.4);
    EXPECT_DOUBLE_EQ(widthFactor(3840), 0.35);
    EXPECT_DOUBLE_EQ(heightFactor(768), 0.95);
    EXPECT_DOUBLE_EQ(heightFactor(1080), 0.7);
    EXPECT_DOUBLE_EQ(heightFactor(2140), 0.15);
    EXPECT_DOUBLE_EQ(heightFactor(2160), 0.1);
}

TEST(WindowSizing, CentredAtTheTopEdge)
{
    auto g = mainWindowGeometry(1920, 1080);
    EXPECT_EQ(g.width, 1344);
    EXPECT_EQ(g.height, 756);
    EXPECT_EQ(g.x, 288);
    EXPECT_EQ(g.y, 0);
    auto small = mainWindowGeometry(1024, 768);
    EXPECT_EQ(small.x, 0);
    EXPECT_EQ(small.width, 1024);
}

// Registrations: handlers in order, each removed by its own token only,
// also while an event is being handed out.

} // namespace
