// The pure parts of the start-up sequence: log level from the command line and the log file name.
#include "ui/startup.h"

#include <gtest/gtest.h>

namespace {

TEST(Startup, LogLevelFromSwitches)
{
    const auto level = [](QStringList args) {
        args.prepend("service-software");
        return logLevelFromArguments(args);
    };
    EXPECT_EQ(level({}), 2);
    EXPECT_EQ(level({"--debug"}), 1);
    EXPECT_EQ(level({"--trace"}), 0);
    EXPECT_EQ(level({"--debug", "--trace"}), 0); // trace wins, in either order
    EXPECT_EQ(level({"--trace", "--debug"}), 0);
    EXPECT_EQ(level({"--DEBUG"}), 2); // exact, case-sensitive
    EXPECT_EQ(level({"--debugging", "-debug", "debug"}), 2);
    EXPECT_EQ(level({"--usb-debug"}), 2); // the USB manager's switch, not a log level
}

TEST(Startup, LogFileIsNamedAfterTheExecutableCutAtTheFirstDot)
{
    EXPECT_EQ(logFilePath("/data/app", "C:/Program Files/Tool/Tool.exe"), "/data/app/Tool.log");
    EXPECT_EQ(logFilePath("/data/app", "/usr/bin/service-software"), "/data/app/service-software.log");
    EXPECT_EQ(logFilePath("/data/app", "/opt/x/tool.v2.bin"), "/data/app/tool.log");
}

} // namespace
