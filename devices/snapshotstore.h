#pragma once

#include "core/baselogger.h"
#include "core/settings.h"
#include "options/optionssnapshot.h"

#include <QDateTime>
#include <QList>
#include <QString>

// The folder of options snapshots: one JSON file per snapshot, named after the instrument and the time.
// Snapshots are never deleted silently: only the oldest of one instrument beyond the limit, with a log
// line each.
class SnapshotStore : public BaseLogger
{
public:
    struct Entry
    {
        QString path;
        QDateTime takenAt;
        QString firmwareVersion;
    };

    // `folder` is created on the first save. `limit` is the number kept per instrument (kind and
    // OptionsSnapshot::instrument()).
    explicit SnapshotStore(const QString& folder = defaultFolder(),
                           int limit = Settings::kDefaultSnapshotLimit);

    // "snapshots" in the application-data folder.
    static QString defaultFolder();
    QString folder() const { return m_folder; }

    // Writes `snapshot` (all or nothing) under a name no other file holds, even one another process is
    // writing at the same moment, and then removes the instrument's oldest beyond the limit (never the
    // file just written). Returns the file's path, or an empty string with the reason in `error`.
    QString save(const OptionsSnapshot& snapshot, QString* error = nullptr);
    // Why the last save() failed (empty after one that worked); inside an EnglishScope in English.
    QString lastError() const;
    // The readable snapshots of one instrument (OptionsSnapshot::instrumentOf), newest first, among the
    // files named after it; of one second, the one written last first. Files that are not snapshots are
    // skipped; a snapshot renamed by hand is restored through its file instead.
    QList<Entry> list(const QString& kind, const QString& instrument) const;
    // Reads one snapshot file; invalid with the reason in `error` when it cannot.
    static OptionsSnapshot load(const QString& path, QString* error = nullptr);

private:
    void prune(const QString& kind, const QString& instrument, const QString& written);

    QString m_folder;
    QString m_lastError;
    QString m_englishLastError;
    int m_limit;
};
