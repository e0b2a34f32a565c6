#include "core/applicationidentity.h"

#include <QCoreApplication>

// SERVICE_VERSION is defined for this file alone (core/CMakeLists.txt), so that a new version
// recompiles one file.
#ifndef SERVICE_VERSION
#error "SERVICE_VERSION must come from the build"
#endif

QString ApplicationIdentity::version()
{
    return QStringLiteral(SERVICE_VERSION);
}

void ApplicationIdentity::apply()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Tessor"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("tessor.example"));
    QCoreApplication::setApplicationName(QStringLiteral("Service Software Vectaris/Tymbrel"));
    QCoreApplication::setApplicationVersion(version());
}
