#pragma once

#include <QString>

// Who the tool is to Qt: organisation, application name and version. The settings file and the log
// directory are found from it, so every executable of the tool applies the same identity.
class ApplicationIdentity
{
public:
    // The project version from CMake's project() call, the only place it is written ("1.2.0").
    static QString version();
    // The installed desktop entry's name without ".desktop" ("example.tessor.ServiceSoftware").
    static QString desktopFileName();
    // Sets organisation name and domain, application name and version on QCoreApplication. May run
    // before the application object exists.
    static void apply();
    // The daily log's base path in `dataDir`, named after the window's executable ("service-software"),
    // so that the command line, an executable of another name, writes its lines to the window's log.
    static QString sharedLogFilePath(const QString& dataDir);
};
