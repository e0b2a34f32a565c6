#include "app/cli/cliapplication.h"

#include "app/cli/cliarguments.h"
#include "app/cli/cliconsole.h"
#include "app/cli/clisession.h"
#include "core/applicationidentity.h"
#include "core/languageloader.h"
#include "core/loggerfactory.h"
#include "devices/devicefactory.h"
#include "usb/usbmanager.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include <memory>

int CliApplication::exec(int& argc, char** argv)
{
    QCoreApplication application(argc, argv);
    ApplicationIdentity::apply();
    const QStringList arguments = QCoreApplication::arguments();
    // Before the first text: --help, usage errors and every message speak the chosen language.
    LanguageLoader::installForApplication();

    // A person asking for the help, the version, or making a typo leaves no trace in the log.
    CliArguments preview;
    if (preview.parse(arguments) && !preview.helpRequested() && !preview.versionRequested()) {
        const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QDir().mkpath(dataDir);
        LoggerFactory::instance()->init(preview.logLevel(), ApplicationIdentity::sharedLogFilePath(dataDir),
                                        preview.consoleLogging() ? LoggerFactory::Console::StandardError
                                                                 : LoggerFactory::Console::None);
        LoggerFactory::instance()
            ->logger(QStringLiteral("Main"))
            ->info("{} {} (command line)", QCoreApplication::applicationName(),
                   QCoreApplication::applicationVersion());
    }

    std::unique_ptr<CliConsole> console = CliConsole::standardStreams();
    UsbManager* manager = UsbManager::instance();
    DeviceFactory::install();
    int code = 0;
    {
        CliSession session(*console, manager);
        code = session.run(arguments);
    }
    manager->deinit();
    return code;
}
