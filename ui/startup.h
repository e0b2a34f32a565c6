#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class MainWindow;

// The start-up sequence of the service tool, shared by the `service-software` executable and the
// simulated-instrument launcher, which runs the very same code in its own process.

// Hooks for a host that runs the tool in-process (the launcher, the start-up benchmark). Each is
// optional and runs on the GUI thread.
struct StartupHooks
{
    // After the USB manager was initialised and connected, before the window is shown.
    std::function<void(MainWindow&)> windowCreated;
    // After the event loop returned, before the USB manager is shut down.
    std::function<void()> eventLoopFinished;
};

// Logging level from the command line: "--trace" 0 (wins), "--debug" 1, otherwise info 2.
// Exact, case-sensitive matches; every other argument is ignored.
int logLevelFromArguments(const QStringList& arguments);

// Pages beyond the service technician's: "--production" adds the Production page, "--develop" the
// Production and Develop pages. Exact, case-sensitive matches.
struct StaffPages
{
    bool production = false;
    bool develop = false;
};
StaffPages staffPagesFromArguments(const QStringList& arguments);

// The daily log's base path: `dataDir` joined with the executable's file name cut before its first
// '.', followed by ".log" ("…/Tool.exe" gives "<dataDir>/Tool.log").
QString logFilePath(const QString& dataDir, const QString& executablePath);

// Runs the tool: application identity, style sheet, logging, language ("--language de|en", else the
// settings file's, else the system's), main window, USB manager, event loop,
// shut-down. "--help", "--version" and "--udev-rule" are answered on standard output before any
// GUI exists (they work without a display). `argc` must outlive the call (the application object keeps a
// reference). Returns 0.
int runServiceSoftware(int& argc, char** argv, const StartupHooks& hooks = StartupHooks());
