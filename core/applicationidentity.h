#pragma once

#include <QString>

// Who the service tool is to Qt: organisation, domain, application name and version. The window and the
// command line set the same identity, so that both find the same application-data folder, settings file,
// snapshot folder and daily log.
class ApplicationIdentity
{
public:
    // Sets organisation name and domain, application name and version on QCoreApplication.
    static void apply();

    // The project version ("1.2.0").
    static QString version();

    // The daily log's base path in `dataDir`, named after the window's executable ("service-software"),
    // so that a front end with another executable name writes its lines to the window's log.
    static QString sharedLogFilePath(const QString& dataDir);
};
