#include "uitestenvironment.h"

#include "resources/artwork.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {
QTemporaryDir& dataHome()
{
    static QTemporaryDir dir; // removed at process exit
    return dir;
}
} // namespace

void setUpUiTestEnvironment()
{
    initArtwork();
    qputenv("XDG_DATA_HOME", dataHome().path().toLocal8Bit());
    QCoreApplication::setOrganizationName(QStringLiteral("Tessor"));
    QCoreApplication::setApplicationName(QStringLiteral("Service Software Vectaris/Tymbrel"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.2.0"));
}

QString uiTestDataDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}
