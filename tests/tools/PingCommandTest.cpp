// The ping command line, and commands run through the shell.

#include "tools/PingCommand.h"

#include "tests/support/QtPrinting.h"

#include <gtest/gtest.h>

namespace {

TEST(PingCommand, PingsAnAddressWithFourEchoRequests)
{
#ifdef _WIN32
    // Windows' ping sends four by default.
    EXPECT_EQ(PingCommandLine("192.168.1.20"), "ping 192.168.1.20");
    EXPECT_EQ(PingCommandLine("0.0.0.0"), "ping 0.0.0.0");
#else
    EXPECT_EQ(PingCommandLine("192.168.1.20"), "ping -c 4 192.168.1.20");
    EXPECT_EQ(PingCommandLine("0.0.0.0"), "ping -c 4 0.0.0.0");
#endif
}

TEST(PingCommand, OnlyAnAddressAsTheProgramWritesItReachesTheShell)
{
    for (const char* text : {"", "192.168.1.20; rm -rf ~", "192.168.1.20 && true", "$(reboot)", "`reboot`",
                             " 192.168.1.20", "192.168.1.20 ", "192.168.1.20\n", "+192.168.1.20", "192.168.001.20",
                             "256.1.1.1", "192.168.1", "192.168.1.20.5", "?.?.?.?"})
        EXPECT_EQ(PingCommandLine(text), std::nullopt) << text;
}

TEST(ShellCommand, CapturesOutputAndErrorOnceTheCommandHasEnded)
{
#ifdef _WIN32
    // Through cmd.exe, whose lines end in CR LF.
    EXPECT_EQ(RunShellCommand("(echo out)& (echo error)>&2& exit 3", CommandOutput::Captured), "out\r\nerror\r\n");
#else
    EXPECT_EQ(RunShellCommand("echo out; sleep 0.2; echo error >&2; exit 3", CommandOutput::Captured),
              "out\nerror\n");
#endif
}

}  // namespace
