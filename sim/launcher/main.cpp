// service-sim: starts the service tool (the same start-up code, the same libusb) with simulated
// instruments plugged in through the usbfs emulation, and lets the person at the screen plug, unplug
// and disturb instruments while the tool runs. For demonstrations, support and our own testing; not
// part of the installed product.
//
//   service-sim [<kind>|--kind <kind>]... [--serial <text>] [--firmware <text>] [--poll-interval <ms>]
//               [--no-control-window] [tool switches such as --debug, --trace, --production, --develop]
//   service-sim run [<kind>|--kind <kind>]... [--serial <text>] [--firmware <text>] -- COMMAND [ARGS]
#include "sim/launcher/simcommandrunner.h"
#include "sim/launcher/simcontrolwindow.h"
#include "sim/launcher/simlauncher.h"
#include "sim/usbfs/simusbbus.h"
#include "ui/mainwindow.h"
#include "ui/startup.h"
#include "usb/usbmanager.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {
struct Options
{
    std::vector<std::string> kinds;
    std::string serial;
    std::string firmware;
    int pollIntervalMs = 0; // 0: the tool's own interval
    bool controlWindow = true;
    bool help = false;
};

Options parse(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(arg, "--kind") && hasValue) {
            options.kinds.emplace_back(argv[++i]);
        } else if (!std::strcmp(arg, "--serial") && hasValue) {
            options.serial = argv[++i];
        } else if (!std::strcmp(arg, "--firmware") && hasValue) {
            options.firmware = argv[++i];
        } else if (!std::strcmp(arg, "--poll-interval") && hasValue) {
            options.pollIntervalMs = std::atoi(argv[++i]);
        } else if (!std::strcmp(arg, "--no-control-window")) {
            options.controlWindow = false;
        } else if (!std::strcmp(arg, "--help") || !std::strcmp(arg, "-h")) {
            options.help = true;
        } else if (arg[0] != '-' && SimLauncher::kindFromName(QString::fromLocal8Bit(arg))) {
            options.kinds.emplace_back(arg); // "service-sim controlunit" as well as "--kind control-unit"
        }
    }
    return options;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && !std::strcmp(argv[1], "run")) {
        return SimCommandRunner::exec(argc, argv);
    }
    const Options options = parse(argc, argv);
    if (options.help) {
        std::printf("usage: service-sim [<kind>|--kind <kind>]... [--serial <text>] [--firmware <text>]\n"
                    "                   [--poll-interval <ms>] [--no-control-window] [--debug|--trace]\n"
                    "                   [--production|--develop]\n"
                    "       service-sim run [<kind>|--kind <kind>]... [--serial <text>] [--firmware <text>]\n"
                    "                       -- COMMAND [ARGS]\n\n%s\n",
                    SimLauncher::helpText().toLocal8Bit().constData());
        return 0;
    }
    for (const std::string& kind : options.kinds) {
        if (!SimLauncher::kindFromName(QString::fromStdString(kind))) {
            std::fprintf(stderr, "service-sim: unknown kind %s (kinds: %s)\n", kind.c_str(),
                         SimLauncher::kindNames().join(' ').toLocal8Bit().constData());
            return 2;
        }
    }
    if (!SimUsbBus::preloadActive()) {
        std::fprintf(stderr, "service-sim: the usbfs emulation is not active (umockdev preload missing)\n");
        return 2;
    }

    // The bus exists before the tool starts libusb and outlives it (the tool shuts libusb down on exit).
    auto bus = std::make_unique<SimUsbBus>();
    std::unique_ptr<SimLauncher> launcher;
    std::unique_ptr<SimControlWindow> controlWindow;

    StartupHooks hooks;
    hooks.windowCreated = [&](MainWindow& window) {
        launcher = std::make_unique<SimLauncher>(*bus);
        launcher->setWindow(&window);
        for (const std::string& kind : options.kinds) {
            const int id =
                launcher->plug(QString::fromStdString(kind), QString::fromStdString(options.serial),
                               QString::fromStdString(options.firmware));
            std::printf("plugged %d %s\n", id, kind.c_str());
        }
        if (options.pollIntervalMs > 0) {
            UsbManager::instance()->setPollInterval(options.pollIntervalMs);
        }
        launcher->listenOnStandardInput();
        if (options.controlWindow) {
            controlWindow = std::make_unique<SimControlWindow>(*launcher);
            controlWindow->setAttribute(Qt::WA_QuitOnClose, false); // the tool's window decides
            // Beside the tool's window rather than on top of it, also where no window manager places it.
            const QRect tool = window.frameGeometry();
            controlWindow->move(tool.right() + 12, tool.top());
            controlWindow->show();
        }
        std::printf("ready (type help for commands)\n");
        std::fflush(stdout);
    };
    hooks.eventLoopFinished = [&] {
        controlWindow.reset();
        launcher.reset();
    };

    // Closing the tool's window ends the run, even while the control window is open.
    const int result = runServiceSoftware(argc, argv, hooks);
    bus.reset();
    return result;
}

// Sanitizer builds only: system libraries that the X11 platform loads keep a few allocations until
// exit (D-Bus, fontconfig). Leaks from the tool's own code are still reported.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libdbus-1.so\n"
           "leak:libfontconfig.so\n";
}
