#include "ui/startup.h"

#include "core/applicationidentity.h"
#include "core/languageloader.h"
#include "core/loggerfactory.h"
#include "devices/devicefactory.h"
#include "recording/recordingbridge.h"
#include "resources/artwork.h"
#include "ui/mainwindow.h"
#include "usb/connectiondoctor.h"
#include "usb/usbmanager.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>

#include <memory>

namespace {
const QString kStyleSheet = QStringLiteral(":/Stylesheet.qss");

// The style sheet's bytes up to the first zero byte, as Latin-1; empty when it cannot be read.
QString loadStyleSheet()
{
    QFile file(kStyleSheet);
    if (!file.open(QIODevice::ReadOnly)) {
        return QString();
    }
    QByteArray bytes = file.readAll();
    const int zero = bytes.indexOf('\0');
    if (zero >= 0) {
        bytes.truncate(zero);
    }
    return QString::fromLatin1(bytes);
}

// Describes the switches to `parser`, in the language installed at the time. The parser only describes
// them: each one is still matched where it takes effect, and arguments it does not know are ignored.
void describeSwitches(QCommandLineParser& parser)
{
    parser.setApplicationDescription(
        QCoreApplication::translate("Startup", "Service tool for Tymbrel and Vectaris instruments on USB."));
    // Qt's own help option would add --help-all, whose Qt switches only a GUI application can list;
    // the version option is worded alike.
    parser.addOption(QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QCoreApplication::translate("Startup", "Show this help and exit.")));
    parser.addOption(
        QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                           QCoreApplication::translate("Startup", "Print the version and exit.")));
    const struct
    {
        const char* name;
        const char* description;
    } switches[] = {
        {"debug", QT_TRANSLATE_NOOP("Startup", "Log at debug level.")},
        {"trace", QT_TRANSLATE_NOOP("Startup", "Log at trace level, the most detailed (wins over --debug).")},
        {"usb-debug", QT_TRANSLATE_NOOP("Startup", "Turn on libusb's own logging at debug level.")},
        {"usb-info", QT_TRANSLATE_NOOP("Startup", "Turn on libusb's own logging at info level.")},
        {"production", QT_TRANSLATE_NOOP("Startup", "Show the Production page.")},
        {"develop", QT_TRANSLATE_NOOP("Startup", "Show the Production and the Develop page.")},
        {"udev-rule",
         QT_TRANSLATE_NOOP("Startup", "Print the udev rule that gives the user at the seat access "
                                      "to the instruments, and exit.")},
    };
    for (const auto& known : switches) {
        parser.addOption(QCommandLineOption(QString::fromLatin1(known.name),
                                            QCoreApplication::translate("Startup", known.description)));
    }
    parser.addOption(QCommandLineOption(
        QStringLiteral("language"),
        QCoreApplication::translate("Startup",
                                    "Speak German (de) or English (en) instead of the language of the "
                                    "settings file or the system."),
        QStringLiteral("de|en")));
}

// Answers --help and --version, which need no display, and returns true when it did.
bool answerInformationRequest(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    QCommandLineParser parser;
    describeSwitches(parser);
    parser.parse(arguments); // false for unknown arguments, which the tool ignores
    const bool help = parser.isSet(QStringLiteral("help"));
    if (!help && !parser.isSet(QStringLiteral("version"))) {
        return false;
    }
    // Only now an application object, a non-GUI one: the usage line names the executable through it.
    // The help speaks the language of "--language" or the system; the settings file is not opened
    // before the log is set up.
    QCoreApplication app(argc, argv);
    LanguageLoader::install(LanguageLoader::choose(arguments, QString(), QLocale::system()));
    QCommandLineParser translated;
    describeSwitches(translated);
    const QString text = help ? translated.helpText()
                              : QCoreApplication::applicationName() + QLatin1Char(' ') +
                                    QCoreApplication::applicationVersion() + QLatin1Char('\n');
    fputs(text.toLocal8Bit().constData(), stdout);
    return true;
}
} // namespace

int logLevelFromArguments(const QStringList& arguments)
{
    if (arguments.contains(QStringLiteral("--trace"))) {
        return 0;
    }
    if (arguments.contains(QStringLiteral("--debug"))) {
        return 1;
    }
    return 2;
}

StaffPages staffPagesFromArguments(const QStringList& arguments)
{
    StaffPages pages;
    pages.develop = arguments.contains(QStringLiteral("--develop"));
    pages.production = pages.develop || arguments.contains(QStringLiteral("--production"));
    return pages;
}

QString logFilePath(const QString& dataDir, const QString& executablePath)
{
    return QDir(dataDir).filePath(QFileInfo(executablePath).baseName() + QStringLiteral(".log"));
}

int runServiceSoftware(int& argc, char** argv, const StartupHooks& hooks)
{
    ApplicationIdentity::apply();
    if (answerInformationRequest(argc, argv)) {
        return 0;
    }
    // Asked for before anything else: a user setting up the udev rule may have no display at hand.
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--udev-rule") == 0) {
            fputs(ConnectionDoctor::udevRule().toUtf8().constData(), stdout);
            return 0;
        }
    }
    initArtwork();
#ifdef Q_OS_LINUX
    // The tool draws no OpenGL. Without this the X11 platform plugin loads the GL driver stack at start
    // (with Mesa's software renderer some 45 MB of resident memory and a noticeable share of start-up
    // time). An explicit setting in the environment is respected.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION")) {
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    }
#endif
    // The attribute only takes effect when set before the application object exists.
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    // Icons then come from their double-size renderings on screens at scale 2, not enlarged.
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication app(argc, argv);
    // Ties the windows to the installed desktop entry (Wayland app id, task bar grouping).
    QGuiApplication::setDesktopFileName(ApplicationIdentity::desktopFileName());

    app.setStyleSheet(loadStyleSheet());

    const int level = logLevelFromArguments(QCoreApplication::arguments());
    LoggerFactory* loggerFactory = LoggerFactory::instance();
    const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(QDir(dataDir).absolutePath());
    loggerFactory->init(level, logFilePath(dataDir, QCoreApplication::applicationFilePath()));

    loggerFactory->logger(QStringLiteral("Main"))
        ->info("{} {}", QCoreApplication::applicationName(), QCoreApplication::applicationVersion());

    // Before the first widget and the first text: "--language", the settings file, the system.
    const QString language = LanguageLoader::installForApplication();
    loggerFactory->logger(QStringLiteral("Main"))->debug("Language: {}", language);

    auto window = std::make_unique<MainWindow>();
    const StaffPages staffPages = staffPagesFromArguments(QCoreApplication::arguments());
    window->setStaffPages(staffPages.production, staffPages.develop);

    UsbManager* usbManager = UsbManager::instance();
    DeviceFactory::install();
    window->followUsbManager(usbManager);
    // The one recorder of the process: every operation on every instrument becomes a service record.
    QString recordsProblem;
    std::unique_ptr<RecordingBridge> records =
        RecordingBridge::fromSettings(QString::fromLatin1(ServiceEvent::kWindow), &recordsProblem);
    records->follow(usbManager);
    window->followRecorder(records->recorder());
    if (!recordsProblem.isEmpty()) {
        window->showNotification(
            NotificationMessageType::Error,
            QCoreApplication::translate("Startup", "Service records: %1").arg(recordsProblem));
    }
    usbManager->init();

    if (hooks.windowCreated) {
        hooks.windowCreated(*window);
    }
    window->show();
    app.exec();

    if (hooks.eventLoopFinished) {
        hooks.eventLoopFinished();
    }
    usbManager->deinit();
    window.reset();
    records.reset(); // writes what is still queued
    return 0;
}
