#include "sim/launcher/simcommandrunner.h"

#include "sim/launcher/simlauncher.h"
#include "sim/usbfs/simusbbus.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

// The program's process id while it runs, for the termination handler.
volatile sig_atomic_t s_child = 0;

void passOn(int signal)
{
    if (s_child > 0) {
        kill(pid_t(s_child), signal);
    }
}

bool startsWith(const std::string& text, const char* prefix)
{
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

} // namespace

const char* SimCommandRunner::usage()
{
    return "usage: service-sim run [<kind>|--kind <kind>]... [--serial <text>] [--firmware <text>]\n"
           "                       -- COMMAND [ARGS]\n\n"
           "Runs COMMAND with the simulated instruments on its USB bus (through its own libusb) and\n"
           "ends with COMMAND's exit status; 125 when the run could not be set up, 126 when COMMAND\n"
           "cannot be executed, 127 when it is not found.\n";
}

bool SimCommandRunner::parse(const std::vector<std::string>& words, Request* request, std::string* error)
{
    *request = Request();
    size_t i = 0;
    for (; i < words.size() && words[i] != "--"; ++i) {
        const std::string& word = words[i];
        const bool hasValue = i + 1 < words.size() && words[i + 1] != "--";
        if (word == "--help" || word == "-h") {
            request->help = true;
        } else if ((word == "--kind" || word == "--serial" || word == "--firmware") && !hasValue) {
            *error = word + " needs a value";
            return false;
        } else if (word == "--kind") {
            request->kinds.push_back(words[++i]);
        } else if (word == "--serial") {
            request->serial = words[++i];
        } else if (word == "--firmware") {
            request->firmware = words[++i];
        } else if (word[0] != '-') {
            request->kinds.push_back(word);
        } else {
            *error = "unknown switch " + word;
            return false;
        }
    }
    for (const std::string& kind : request->kinds) {
        if (!SimLauncher::kindFromName(QString::fromStdString(kind))) {
            *error = "unknown kind " + kind +
                     " (kinds: " + SimLauncher::kindNames().join(QLatin1Char(' ')).toStdString() + ")";
            return false;
        }
    }
    if (request->help) {
        return true;
    }
    if (i + 1 >= words.size()) {
        *error = "no command after --";
        return false;
    }
    request->command.assign(words.begin() + long(i) + 1, words.end());
    return true;
}

std::vector<std::string> SimCommandRunner::childEnvironment(const SimUsbBus& bus)
{
    std::vector<std::string> environment;
    std::string preload = SimUsbBus::preloadLibrary();
    for (char** entry = environ; entry && *entry; ++entry) {
        const std::string text = *entry;
        if (startsWith(text, "LD_PRELOAD=")) {
            const std::string existing = text.substr(std::strlen("LD_PRELOAD="));
            if (!existing.empty() && existing.find(SimUsbBus::preloadLibrary()) == std::string::npos) {
                preload += ':' + existing;
            } else if (!existing.empty()) {
                preload = existing;
            }
        } else if (!startsWith(text, "UMOCKDEV_DIR=") && !startsWith(text, "SIM_USBFS_REEXECUTED=")) {
            environment.push_back(text);
        }
    }
    environment.push_back("LD_PRELOAD=" + preload);
    environment.push_back("UMOCKDEV_DIR=" + bus.testbedDirectory());
    return environment;
}

int SimCommandRunner::runAndWait(const std::vector<std::string>& command,
                                 const std::vector<std::string>& environment)
{
    std::vector<char*> argv;
    for (const std::string& word : command) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& entry : environment) {
        envp.push_back(const_cast<char*>(entry.c_str()));
    }
    envp.push_back(nullptr);

    // The terminal's interrupt reaches the whole foreground group: the program decides what it means,
    // and this process stays to report how it ended. A termination request aimed at this process alone
    // is passed on. The program starts with every one of these signals at its default.
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction forward = {};
    forward.sa_handler = passOn;
    sigemptyset(&forward.sa_mask);
    struct sigaction previous[4] = {};
    const int handled[4] = {SIGINT, SIGQUIT, SIGTERM, SIGHUP};
    sigaction(SIGINT, &ignore, &previous[0]);
    sigaction(SIGQUIT, &ignore, &previous[1]);
    sigaction(SIGTERM, &forward, &previous[2]);
    sigaction(SIGHUP, &forward, &previous[3]);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int signal : handled) {
        sigaddset(&defaults, signal);
    }
    sigset_t noMask;
    sigemptyset(&noMask);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &noMask);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    pid_t pid = 0;
    const int spawnError = posix_spawnp(&pid, argv[0], nullptr, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    int result = 0;
    if (spawnError != 0) {
        std::fprintf(stderr, "service-sim: cannot run %s: %s\n", argv[0], std::strerror(spawnError));
        result = spawnError == ENOENT ? kNotFound : kCannotExecute;
    } else {
        s_child = pid;
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        s_child = 0;
        result = WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? 128 + WTERMSIG(status) : 1;
    }
    for (int i = 0; i < 4; ++i) {
        sigaction(handled[i], &previous[i], nullptr);
    }
    return result;
}

int SimCommandRunner::exec(int argc, char** argv)
{
    const std::vector<std::string> words(argv + 2, argv + argc);
    Request request;
    std::string error;
    if (!parse(words, &request, &error)) {
        std::fprintf(stderr, "service-sim run: %s\n%s", error.c_str(), usage());
        return kRunnerFailed;
    }
    if (request.help) {
        std::printf("%s\n%s\n", usage(), SimLauncher::helpText().toLocal8Bit().constData());
        return 0;
    }
    if (!SimUsbBus::preloadActive()) {
        std::fprintf(stderr, "service-sim: the usbfs emulation is not active (umockdev preload missing)\n");
        return kRunnerFailed;
    }

    // The instruments are plugged before the program starts, so that its first look at the bus finds
    // them; the bus outlives the program.
    auto bus = std::make_unique<SimUsbBus>();
    int result = 0;
    {
        SimLauncher launcher(*bus);
        for (const std::string& kind : request.kinds) {
            launcher.plug(QString::fromStdString(kind), QString::fromStdString(request.serial),
                          QString::fromStdString(request.firmware));
        }
        result = runAndWait(request.command, childEnvironment(*bus));
    }
    bus.reset();
    return result;
}
