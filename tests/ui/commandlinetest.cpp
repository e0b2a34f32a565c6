// The answers service-software gives without a display: --help, --version and --udev-rule. The built
// executable runs as a child with no display in its environment and the X11 platform asked for, so a
// start that created the GUI would abort instead of answering.
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

struct Answer
{
    bool finished = false;
    int exitCode = -1;
    QString out;
    QString err;
};

Answer ask(const QStringList& arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(SERVICE_SOFTWARE_PATH), arguments);
    Answer answer;
    answer.finished = process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit;
    answer.exitCode = process.exitCode();
    answer.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    answer.err = QString::fromLocal8Bit(process.readAllStandardError());
    return answer;
}

QString udevRuleFile()
{
    QFile file(QStringLiteral(SERVICE_UDEV_RULE_FILE));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Unknown arguments are ignored, as by the rest of the tool; "--language" chooses the help's language.
TEST(CommandLine, HelpVersionAndUdevRuleNeedNoDisplay)
{
    const QString version = QStringLiteral("Service Software Vectaris/Tymbrel " SERVICE_PROJECT_VERSION "\n");
    const QString rule = udevRuleFile();
    ASSERT_FALSE(rule.isEmpty()) << SERVICE_UDEV_RULE_FILE;
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
        const Answer answer = ask(c.arguments);
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString() + "\n" + answer.out.toStdString() +
                     answer.err.toStdString());
        ASSERT_TRUE(answer.finished);
        EXPECT_EQ(answer.exitCode, 0);
        if (!c.isHelp) {
            EXPECT_EQ(answer.out, c.out);
            continue;
        }
        for (const char* name : {"--debug", "--trace", "--usb-debug", "--usb-info", "--production",
                                 "--develop", "--udev-rule", "--help", "--version", "--language"}) {
            EXPECT_TRUE(answer.out.contains(QLatin1String(name))) << name;
        }
        EXPECT_TRUE(answer.out.contains(c.out));
    }
}

} // namespace
