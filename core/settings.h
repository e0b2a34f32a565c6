#pragma once

#include "baselogger.h"
#include "singleton.h"

#include <QByteArray>
#include <QObject>
#include <QSettings>
#include <QString>
#include <QStringList>

#include <memory>

// What the tool remembers between runs: window geometry and state, and the recently used
// firmware files; and the user's language. Owns the one INI file; nobody else opens it. GUI thread only.
class Settings : public QObject, public Singleton<Settings>, public BaseLogger
{
    Q_OBJECT
    friend class Singleton<Settings>;

public:
    static constexpr int kMaxFirmwareFiles = 10;
    static constexpr int kDefaultSnapshotLimit = 50;

    QString fileName() const;

    void saveGeometry(const QString& name, const QByteArray& geometry);
    QByteArray restoreGeometry(const QString& name);
    void saveWindowStates(Qt::WindowStates states);
    Qt::WindowStates restoreWindowStates();

    // Entry `index` of the recent list, or an empty string when the list is shorter or the file is gone.
    QString firmwareFile(int index = 0) const;
    // Directory of firmwareFile(0); empty when there is no existing recent file.
    QString firmwarePath() const;
    void addFirmwareFile(const QString& path);

    // How many options snapshots are kept per instrument (50 unless the settings file says otherwise).
    int snapshotLimit() const;

    // `[Records] database=`: empty for the local SQLite file, else a postgresql:// URL (never with a
    // password), a libpq service name or an SQLite file path.
    QString recordsDatabase() const;
    // `[Records] station=`: the name this station's records carry; empty for the host name.
    QString recordsStation() const;

    // The number the production station gives the next board of the serial range `prefix` ("LINE-" of
    // LINE-0001..LINE-0500): 0 when none was given yet. Kept per station, so two stations need ranges of
    // their own.
    int stationNextSerial(const QString& prefix) const;
    void setStationNextSerial(const QString& prefix, int number);

    // The language the user chose in the settings file (`[General] language=`), as written; empty if none.
    QString language() const;

    // Writes pending changes to disk now (QSettings otherwise syncs on its own schedule).
    void sync();

signals:
    void firmwarePathChanged(QString path);

private:
    Settings();

    std::unique_ptr<QSettings> m_settings;
};
