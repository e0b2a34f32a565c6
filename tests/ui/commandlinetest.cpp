// The answers service-software gives without a display: --help, --version and --udev-rule. The built
// executable runs as a child with no display in its environment and the X11 platform asked for, so a
// start that created the GUI would abort instead of answering.
#include "processrun.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

// Unknown arguments are ignored, as by the rest of the tool; "--language" chooses the help's language.
TEST(CommandLine, HelpVersionAndUdevRuleNeedNoDisplay)
{
    const QString version = QStringLiteral("Service Software Vectaris/Tymbrel " SERVICE_PROJECT_VERSION "\n");
    QFile ruleFile(SERVICE_UDEV_RULE_FILE);
    ASSERT_TRUE(ruleFile.open(QIODevice::ReadOnly)) << SERVICE_UDEV_RULE_FILE;
    const QString rule = QString::fromUtf8(ruleFile.readAll());
    const QString help = QStringLiteral("Show this help and exit.");
    const struct
    {
        QStringList arguments;
        QString out; // the whole output, or for the help a line of it
        bool isHelp;
    } cases[] = {
        {{"--help"}, help, true},
        {{"-h"}, help, true},
        {{"--no-such-switch", "--help"}, help, true},
        {{"--language", "de", "--help"}, "Diese Hilfe anzeigen und beenden.", true},
        {{"--language=en", "-h"}, help, true},
        {{"--version"}, version, false},
        {{"-v"}, version, false},
        {{"--debug", "--version", "--no-such-switch"}, version, false},
        {{"--udev-rule"}, rule, false},
        {{"--trace", "--udev-rule"}, rule, false},
    };
    for (const auto& c : cases) {
        const ProcessRun answer = runProcess(
            SERVICE_SOFTWARE_PATH, c.arguments, {},
            {{"DISPLAY", QString()}, {"WAYLAND_DISPLAY", QString()}, {"QT_QPA_PLATFORM", "xcb"}}, 20000);
        SCOPED_TRACE(c.arguments.join(' ').toStdString() + "\n" + answer.context());
        ASSERT_EQ(answer.code, 0);
        const QString out = QString::fromLocal8Bit(answer.out);
        if (!c.isHelp) {
            EXPECT_EQ(out, c.out);
            continue;
        }
        for (const char* name : {"--debug", "--trace", "--usb-debug", "--usb-info", "--production",
                                 "--develop", "--udev-rule", "--help", "--version", "--language"}) {
            EXPECT_TRUE(out.contains(name)) << name;
        }
        EXPECT_TRUE(out.contains(c.out));
    }
}

} // namespace
