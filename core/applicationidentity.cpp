#include "core/applicationidentity.h"

#include <QCoreApplication>
#include <QDir>

#ifndef SERVICE_VERSION
#error "SERVICE_VERSION must come from the build (the project version)"
#endif

void ApplicationIdentity::apply()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Tessor"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("tessor.example"));
    QCoreApplication::setApplicationName(QStringLiteral("Service Software Vectaris/Tymbrel"));
    QCoreApplication::setApplicationVersion(version());
}

QString ApplicationIdentity::version()
{
    return QStringLiteral(SERVICE_VERSION);
}

QString ApplicationIdentity::sharedLogFilePath(const QString& dataDir)
{
    return QDir(dataDir).filePath(QStringLiteral("service-software.log"));
}
