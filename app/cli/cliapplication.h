#pragma once

// The service-cli process: application object without widgets (no display server, no platform plugin),
// the window's identity, the user's language (--language, else the settings, else the system's), logging
// into the window's daily log (console lines on standard error, and only with --debug or --trace), the
// discovery with the device factory, one CliSession, shut-down.
class CliApplication
{
public:
    // `argc` must outlive the call (the application object keeps a reference). Returns the exit code.
    static int exec(int& argc, char** argv);
};
