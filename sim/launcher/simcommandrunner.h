#pragma once

#include <string>
#include <vector>

class SimUsbBus;

// "service-sim run": runs another program against the simulated bus. The instruments stay in this
// process (the bus, the instrument models and the usbfs ioctl handler); the program, a process of its
// own, starts with umockdev's preload library and the testbed's folder in its environment, so that its
// unmodified libusb finds and talks to them as to instruments on a real bus. This process waits for the
// program and ends with its exit status.
//
//   service-sim run [<kind>|--kind <kind>]... [--serial <text>] [--firmware <text>] -- COMMAND [ARGS]
//
// Standard input, output and error belong to the program: nothing of this process is printed there
// except its own usage errors (standard error). Interrupts from the terminal reach the program, which
// decides; a termination request sent to this process is passed on to it.
class SimCommandRunner
{
public:
    // Exit statuses of the runner itself, apart from the program's own (as env(1) numbers them).
    static constexpr int kRunnerFailed = 125;
    static constexpr int kCannotExecute = 126;
    static constexpr int kNotFound = 127;

    struct Request
    {
        std::vector<std::string> kinds;
        std::string serial;
        std::string firmware;
        std::vector<std::string> command; // the program and its arguments
        bool help = false;
    };

    // Reads the words after "run". False with the reason in `error` for a line that names no command
    // after "--", an unknown kind or switch.
    static bool parse(const std::vector<std::string>& words, Request* request, std::string* error);
    static const char* usage();

    // The whole of "service-sim run": `argv[1]` is "run". Returns the exit status of the process.
    static int exec(int argc, char** argv);

    // The environment the program starts with: this process's, with umockdev's preload library and the
    // bus's testbed folder, and without this process's own re-execution marker.
    static std::vector<std::string> childEnvironment(const SimUsbBus& bus);
    // Starts `command` (looked up in PATH), waits for it and returns its exit status; a program ended by
    // a signal gives 128 + the signal's number, as a shell reports it.
    static int runAndWait(const std::vector<std::string>& command,
                          const std::vector<std::string>& environment);
};
