#include "devices/snapshotstore.h"

#include "core/englishscope.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <functional>

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

QString SnapshotStore::lastError() const
{
    return EnglishScope::active() ? m_englishLastError : m_lastError;
}

QString SnapshotStore::save(const OptionsSnapshot& snapshot, QString* error)
{
    // The reason is made twice: for the user and, in English, for machine-read reports (lastError()).
    auto fail = [&](const std::function<QString()>& make) {
        m_lastError = make();
        m_englishLastError = EnglishScope::english(make);
        logger()->error("Snapshot not written: {}", m_lastError);
        if (error) {
            *error = m_lastError;
        }
        return QString();
    };
    m_lastError.clear();
    m_englishLastError.clear();
    if (!QDir().mkpath(m_folder)) {
        return fail([this] {
            return QCoreApplication::translate("SnapshotStore", "cannot create the folder %1").arg(m_folder);
        });
    }
    // Two snapshots of one instrument within a second (a restore right after a reset) keep both: the
    // name is taken by creating the file, which fails when it exists, also when another process created
    // it a moment ago; the content then replaces the empty file as a whole.
    const QDir dir(m_folder);
    const QString base = snapshot.fileName().chopped(5);
    QString path;
    for (int n = 1; path.isEmpty(); ++n) {
        const QString candidate =
            dir.filePath(n == 1 ? base + QStringLiteral(".json") : base + QStringLiteral("-%1.json").arg(n));
        QFile reserve(candidate);
        if (reserve.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            path = candidate;
        } else if (!reserve.exists() && !QFileInfo(candidate).isSymLink()) {
            return fail([&] {
                return QCoreApplication::translate("SnapshotStore", "cannot write %1: %2")
                    .arg(candidate, reserve.errorString());
            });
        }
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        QFile::remove(path);
        return fail([&] {
            return QCoreApplication::translate("SnapshotStore", "cannot write %1: %2")
                .arg(path, file.errorString());
        });
    }
    const QByteArray json = snapshot.toJson();
    if (file.write(json) != json.size() || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        QFile::remove(path);
        return fail([&] {
            return QCoreApplication::translate("SnapshotStore", "cannot write %1: %2").arg(path, reason);
        });
    }
    logger()->info("Snapshot of {} {} with {} written to {}", snapshot.kind, snapshot.instrument(),
                   snapshot.coverage(), path);
    prune(snapshot.kind, snapshot.instrument(), path);
    return path;
}

QList<SnapshotStore::Entry> SnapshotStore::list(const QString& kind, const QString& instrument) const
{
    struct Found
    {
        Entry entry;
        int sequence; // 1 for "<name>.json", n for "<name>-n.json": the order within one second
    };
    QList<Found> found;
    // Only the files named after this instrument are read: the folder holds every instrument's snapshots
    // and is read before each save (the limit), where a production line cannot wait for thousands.
    const QString pattern = OptionsSnapshot::filePrefix(kind, instrument) + QStringLiteral("*.json");
    const QFileInfoList files =
        QDir(m_folder).entryInfoList({pattern}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo& info : files) {
        if (info.size() > kMaxSnapshotBytes) {
            continue;
        }
        const OptionsSnapshot snapshot = load(info.filePath());
        if (!snapshot.isValid() || snapshot.kind != kind || snapshot.instrument() != instrument) {
            continue;
        }
        const QString base = snapshot.fileName().chopped(5);
        const QString name = info.completeBaseName();
        bool numbered = false;
        const int n =
            name.startsWith(base + QLatin1Char('-')) ? name.mid(base.size() + 1).toInt(&numbered) : 0;
        found.append({{info.filePath(), snapshot.takenAt, snapshot.firmwareVersion},
                      name == base ? 1
                      : numbered   ? n
                                   : 0});
    }
    std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        if (a.entry.takenAt != b.entry.takenAt) {
            return a.entry.takenAt > b.entry.takenAt;
        }
        return a.sequence != b.sequence ? a.sequence > b.sequence : a.entry.path > b.entry.path;
    });
    QList<Entry> entries;
    for (const Found& one : qAsConst(found)) {
        entries.append(one.entry);
    }
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

void SnapshotStore::prune(const QString& kind, const QString& instrument, const QString& written)
{
    const QList<Entry> entries = list(kind, instrument);
    // The file just written stays whatever its place (a clock set back): its path is what save() reports.
    int kept = 1;
    for (const Entry& entry : entries) {
        if (entry.path == written) {
            continue;
        }
        if (kept < m_limit) {
            ++kept;
            continue;
        }
        if (QFile::remove(entry.path)) {
            logger()->info("Snapshot {} removed: more than {} snapshots of {} {}", entry.path, m_limit, kind,
                           instrument);
        } else {
            logger()->warn("Snapshot {} could not be removed", entry.path);
        }
    }
}
