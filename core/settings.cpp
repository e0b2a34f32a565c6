#include "settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace {
const QString kFirmwareFilesKey = QStringLiteral("FirmwareFiles");
const QString kWindowStatesKey = QStringLiteral("WindowStates/MainWindow");

QString geometryKey(const QString& name)
{
    return QStringLiteral("Geometry/%1").arg(name);
}
} // namespace

Settings::Settings() : BaseLogger(QStringLiteral("Settings"))
{
    // The application name contains a '/', so it becomes a sub-directory plus the file name.
    const QDir dataDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    const QString path =
        dataDir.absoluteFilePath(QCoreApplication::applicationName() + QStringLiteral(".ini"));
    m_settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
    logger()->debug("Use settings file: {}", QDir::toNativeSeparators(m_settings->fileName()));
}

QString Settings::fileName() const
{
    return m_settings->fileName();
}

void Settings::saveGeometry(const QString& name, const QByteArray& geometry)
{
    logger()->trace("Save geometry for: {}", name);
    m_settings->setValue(geometryKey(name), geometry);
}

QByteArray Settings::restoreGeometry(const QString& name)
{
    logger()->trace("Restore widget geometry for: {}", name);
    return m_settings->value(geometryKey(name)).toByteArray();
}

void Settings::saveWindowStates(Qt::WindowStates states)
{
    logger()->trace("Save window states");
    m_settings->setValue(kWindowStatesKey, int(states));
}

Qt::WindowStates Settings::restoreWindowStates()
{
    logger()->trace("Restore window states");
    return Qt::WindowStates(m_settings->value(kWindowStatesKey, 0).toInt());
}

QString Settings::firmwareFile(int index) const
{
    const QStringList files = m_settings->value(kFirmwareFilesKey).toStringList();
    if (index < 0 || index >= files.size()) {
        return QString();
    }
    const QFileInfo info(files.at(index));
    return info.exists() ? info.absoluteFilePath() : QString();
}

QString Settings::firmwarePath() const
{
    const QString recent = firmwareFile(0);
    return recent.isEmpty() ? QString() : QFileInfo(recent).absolutePath();
}

void Settings::addFirmwareFile(const QString& path)
{
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        return;
    }
    const QStringList oldList = m_settings->value(kFirmwareFilesKey).toStringList();
    QStringList newList = oldList;
    newList.prepend(QFileInfo(path).absoluteFilePath());
    newList.removeDuplicates();
    while (newList.size() > kMaxFirmwareFiles) {
        newList.removeLast();
    }
    m_settings->setValue(kFirmwareFilesKey, newList);
    if (newList != oldList) {
        emit firmwarePathChanged(firmwarePath());
    }
}

void Settings::sync()
{
    m_settings->sync();
}

int Settings::snapshotLimit() const
{
    const int limit = m_settings->value(QStringLiteral("Snapshots/limit"), kDefaultSnapshotLimit).toInt();
    return limit > 0 ? limit : kDefaultSnapshotLimit;
}

QString Settings::recordsDatabase() const
{
    return m_settings->value(QStringLiteral("Records/database")).toString().trimmed();
}

QString Settings::recordsStation() const
{
    return m_settings->value(QStringLiteral("Records/station")).toString().trimmed();
}

namespace {
// A prefix may hold characters that QSettings reads as group separators.
QString stationSerialKey(const QString& prefix)
{
    return QStringLiteral("Station/next-") + QString::fromLatin1(QUrl::toPercentEncoding(prefix));
}
} // namespace

int Settings::stationNextSerial(const QString& prefix) const
{
    return m_settings->value(stationSerialKey(prefix), 0).toInt();
}

void Settings::setStationNextSerial(const QString& prefix, int number)
{
    m_settings->setValue(stationSerialKey(prefix), number);
    m_settings->sync();
}

QString Settings::language() const
{
    return m_settings->value(QStringLiteral("language")).toString();
}
