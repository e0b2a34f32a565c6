#include "devices/snapshotstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace {
// A snapshot file is a few kilobytes; anything much larger in the folder is not one.
constexpr qint64 kMaxSnapshotBytes = 4 * 1024 * 1024;
} // namespace

SnapshotStore::SnapshotStore(const QString& folder, int limit)
    : BaseLogger(QStringLiteral("SnapshotStore")), m_folder(folder), m_limit(std::max(1, limit))
{
}

QString SnapshotStore::defaultFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("snapshots"));
}

QString SnapshotStore::save(const OptionsSnapshot& snapshot, QString* error)
{
    auto fail = [&](const QString& reason) {
        logger()->error("Snapshot not written: {}", reason);
        if (error) {
            *error = reason;
        }
        return QString();
    };
    if (!QDir().mkpath(m_folder)) {
        return fail(
            QCoreApplication::translate("SnapshotStore", "cannot create the folder %1").arg(m_folder));
    }
    // Two snapshots of one instrument within a second (a restore right after a reset) keep both.
    const QDir dir(m_folder);
    QString path = dir.filePath(snapshot.fileName());
    for (int n = 2; QFileInfo::exists(path); ++n) {
        path = dir.filePath(snapshot.fileName().chopped(5) + QStringLiteral("-%1.json").arg(n));
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return fail(QCoreApplication::translate("SnapshotStore", "cannot write %1: %2")
                        .arg(path, file.errorString()));
    }
    const QByteArray json = snapshot.toJson();
    if (file.write(json) != json.size() || !file.commit()) {
        const QString reason =
            QCoreApplication::translate("SnapshotStore", "cannot write %1: %2").arg(path, file.errorString());
        file.cancelWriting();
        return fail(reason);
    }
    logger()->info("Snapshot of {} {} with {} options written to {}", snapshot.kind, snapshot.serial,
                   snapshot.options.size(), path);
    prune(snapshot.kind, snapshot.serial);
    return path;
}

QList<SnapshotStore::Entry> SnapshotStore::list(const QString& kind, const QString& serial) const
{
    QList<Entry> entries;
    // Only the files named after this instrument are read: the folder holds every instrument's snapshots
    // and is read before each save (the limit), where a production line cannot wait for thousands.
    const QString pattern = OptionsSnapshot::filePrefix(kind, serial) + QStringLiteral("*.json");
    const QFileInfoList files =
        QDir(m_folder).entryInfoList({pattern}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo& info : files) {
        if (info.size() > kMaxSnapshotBytes) {
            continue;
        }
        const OptionsSnapshot snapshot = load(info.filePath());
        if (!snapshot.isValid() || snapshot.kind != kind || snapshot.serial != serial) {
            continue;
        }
        entries.append({info.filePath(), snapshot.takenAt, snapshot.firmwareVersion});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.takenAt != b.takenAt ? a.takenAt > b.takenAt : a.path > b.path;
    });
    return entries;
}

OptionsSnapshot SnapshotStore::load(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) {
            *error = QCoreApplication::translate("SnapshotStore", "cannot read %1: %2")
                         .arg(path, file.errorString());
        }
        return OptionsSnapshot();
    }
    if (file.size() > kMaxSnapshotBytes) {
        if (error) {
            *error = QCoreApplication::translate("SnapshotStore", "%1 is too large to be an options snapshot")
                         .arg(path);
        }
        return OptionsSnapshot();
    }
    QString reason;
    OptionsSnapshot snapshot = OptionsSnapshot::fromJson(file.readAll(), &reason);
    if (!snapshot.isValid() && error) {
        *error = QCoreApplication::translate("SnapshotStore", "%1: %2").arg(path, reason);
    }
    return snapshot;
}

void SnapshotStore::prune(const QString& kind, const QString& serial)
{
    const QList<Entry> entries = list(kind, serial);
    for (int i = m_limit; i < entries.size(); ++i) {
        if (QFile::remove(entries.at(i).path)) {
            logger()->info("Snapshot {} removed: more than {} snapshots of {} {}", entries.at(i).path,
                           m_limit, kind, serial);
        } else {
            logger()->warn("Snapshot {} could not be removed", entries.at(i).path);
        }
    }
}
