#pragma once

#include "core/baselogger.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

class UsbManager;

// One zip file with what support needs to understand a customer's trouble:
//   contents.txt       what the bundle holds, and which part was missing and why
//   versions.txt       the tool, Qt, libusb, libzip, the operating system
//   connection.txt     the connection doctor's findings and the instrument being served
//   usb-devices.txt    every device on the USB buses (nothing opened)
//   settings.ini       the settings file, secrets left out (SettingsRedaction)
//   logs/...           the seven newest daily log files
//   snapshots/...      the connected instrument's options snapshots; every snapshot when none is connected
// Sources default to the running tool's own (application-data folder, settings file, snapshot folder);
// tests point them elsewhere. The window and the command line build the same bundle. GUI thread.
class SupportBundle : public BaseLogger
{
public:
    static constexpr int kLogFiles = 7;

    struct Instrument
    {
        QString name;
        QString kind;
        QString serial;
        QString firmware;
        QString address;
    };

    SupportBundle();

    void setLogFolder(const QString& folder) { m_logFolder = folder; }
    void setSettingsFile(const QString& path) { m_settingsFile = path; }
    void setSnapshotFolder(const QString& folder) { m_snapshotFolder = folder; }
    // The connected instrument, whose snapshots go in; without one, every snapshot goes in.
    void setInstrument(const Instrument& instrument);
    // A line for connection.txt.
    void addFinding(const QString& line) { m_findings << line; }
    // The discovery's view: USB available, hotplug, the problems said, the status line, and the
    // instrument it serves (which becomes the connected instrument when it is connected).
    void collectFrom(const UsbManager* manager);

    // Builds the archive and writes it to `path` through QSaveFile (all or nothing). 0, or negative with
    // the reason in `error`: -1 the archive could not be built, -2 the file could not be written.
    int write(const QString& path, QString* error = nullptr);

    // "service-support-<UTC time>.zip"
    static QString suggestedFileName(const QDateTime& now = QDateTime::currentDateTimeUtc());
    // The newest `count` daily log files in `folder` ("<name>_YYYY-MM-DD_hh-mm.log"), newest first.
    static QStringList newestLogFiles(const QString& folder, int count = kLogFiles);
    static QString versionsText();

private:
    QStringList snapshotFiles() const;

    QString m_logFolder;
    QString m_settingsFile;
    QString m_snapshotFolder;
    bool m_hasInstrument = false;
    Instrument m_instrument;
    QStringList m_findings;
};
