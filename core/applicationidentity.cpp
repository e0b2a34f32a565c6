#include "core/applicationidentity.h"

#include <QCoreApplication>
#include <QDir>

// SERVICE_VERSION and SERVICE_APP_ID are defined for this file alone (core/CMakeLists.txt), so that
// a new version recompiles one file.
#if !defined(SERVICE_VERSION) || !defined(SERVICE_APP_ID)
#error "SERVICE_VERSION and SERVICE_APP_ID must come from the build"
#endif

QString ApplicationIdentity::version()
{
    return QStringLiteral(SERVICE_VERSION);
}

QString ApplicationIdentity::desktopFileName()
{
    return QStringLiteral(SERVICE_APP_ID);
}

void ApplicationIdentity::apply()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Tessor"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("tessor.example"));
    QCoreApplication::setApplicationName(QStringLiteral("Service Software Vectaris/Tymbrel"));
    QCoreApplication::setApplicationVersion(version());
}

QString ApplicationIdentity::sharedLogFilePath(const QString& dataDir)
{
    return QDir(dataDir).filePath(QStringLiteral("service-software.log"));
}
