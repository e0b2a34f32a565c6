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

    // `folder` is created on the first save. `limit` is the number kept per instrument (kind and serial).
    explicit SnapshotStore(const QString& folder = defaultFolder(),
                           int limit = Settings::kDefaultSnapshotLimit);

    // "snapshots" in the application-data folder.
    static QString defaultFolder();
    QString folder() const { return m_folder; }

    // Writes `snapshot` (all or nothing) and then removes the instrument's oldest beyond the limit.
    // Returns the file's path, or an empty string with the reason in `error`.
    QString save(const OptionsSnapshot& snapshot, QString* error = nullptr);
    // The readable snapshots of one instrument, newest first, among the files named after it. Files that
    // are not snapshots are skipped; a snapshot renamed by hand is restored through its file instead.
    QList<Entry> list(const QString& kind, const QString& serial) const;
    // Reads one snapshot file; invalid with the reason in `error` when it cannot.
    static OptionsSnapshot load(const QString& path, QString* error = nullptr);

private:
    void prune(const QString& kind, const QString& serial);

    QString m_folder;
    int m_limit;
};
