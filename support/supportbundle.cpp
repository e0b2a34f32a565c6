#include "support/supportbundle.h"

#include "core/applicationidentity.h"
#include "core/settings.h"
#include "devices/basedevice.h"
#include "devices/snapshotstore.h"
#include "support/settingsredaction.h"
#include "support/usbdevicelist.h"
#include "usb/usbmanager.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QSysInfo>

#include <libusb.h>
#include <zip.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// A snapshot is a few kilobytes; a larger file in the folder is not one and stays out.
constexpr qint64 kMaxSnapshotBytes = 4 * 1024 * 1024;

struct Entry
{
    QString name;
    QByteArray data;
    QDateTime modified;
};

QString libzipError(zip_error_t* error)
{
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

// The archive is built in memory by libzip and only then written, so that the file on disk is replaced
// in one step by QSaveFile and a failure leaves the previous file of that name as it was.
bool buildArchive(const std::vector<Entry>& entries, QByteArray* archiveBytes, QString* error)
{
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &zipError);
    if (!buffer) {
        *error = libzipError(&zipError);
        zip_error_fini(&zipError);
        return false;
    }
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &zipError);
    if (!archive) {
        *error = libzipError(&zipError);
        zip_error_fini(&zipError);
        zip_source_free(buffer);
        return false;
    }
    zip_error_fini(&zipError);
    zip_source_keep(buffer); // still needed after zip_close, to read the archive back
    auto fail = [&](const QString& reason) {
        *error = reason;
        zip_discard(archive);
        zip_source_free(buffer);
        return false;
    };
    for (const Entry& entry : entries) {
        // The data stays in `entries` until zip_close has read it.
        zip_source_t* source =
            zip_source_buffer(archive, entry.data.constData(), zip_uint64_t(entry.data.size()), 0);
        const zip_int64_t index =
            source ? zip_file_add(archive, entry.name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            if (source) {
                zip_source_free(source);
            }
            return fail(QStringLiteral("%1: %2").arg(entry.name, libzipError(zip_get_error(archive))));
        }
        if (entry.modified.isValid()) {
            zip_file_set_mtime(archive, zip_uint64_t(index), time_t(entry.modified.toSecsSinceEpoch()), 0);
        }
    }
    if (zip_close(archive) < 0) {
        return fail(libzipError(zip_get_error(archive)));
    }

    zip_stat_t stat;
    zip_stat_init(&stat);
    bool ok =
        zip_source_stat(buffer, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE) && zip_source_open(buffer) == 0;
    if (ok) {
        archiveBytes->resize(int(stat.size));
        ok = zip_source_read(buffer, archiveBytes->data(), stat.size) == zip_int64_t(stat.size);
        zip_source_close(buffer);
    }
    if (!ok) {
        *error = libzipError(zip_source_error(buffer));
    }
    zip_source_free(buffer);
    return ok;
}

bool readFile(const QString& path, QByteArray* data, QString* why)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *why = file.errorString();
        return false;
    }
    *data = file.readAll();
    return true;
}

QString yesNo(bool value)
{
    return value ? QStringLiteral("yes") : QStringLiteral("no");
}

} // namespace

SupportBundle::SupportBundle() : BaseLogger(QStringLiteral("SupportBundle"))
{
    m_logFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    // The file as the tool holds it now, not as it was last synced.
    Settings::instance()->sync();
    m_settingsFile = Settings::instance()->fileName();
    m_snapshotFolder = SnapshotStore::defaultFolder();
}

void SupportBundle::setInstrument(const Instrument& instrument)
{
    m_hasInstrument = true;
    m_instrument = instrument;
}

void SupportBundle::collectFrom(const UsbManager* manager)
{
    addFinding(QStringLiteral("USB available: %1").arg(yesNo(manager->isUsbAvailable())));
    addFinding(QStringLiteral("Hotplug: %1").arg(yesNo(manager->hasHotplug())));
    addFinding(QStringLiteral("Polling: %1 (every %2 ms)")
                   .arg(yesNo(manager->isPolling()))
                   .arg(manager->pollInterval()));
    addFinding(QStringLiteral("Status: %1").arg(manager->connectionStatus()));
    const QStringList problems = manager->connectionProblems();
    for (const QString& problem : problems) {
        addFinding(QStringLiteral("Problem: %1").arg(problem));
    }
    for (const UsbBusDeviceAddress& address : manager->addresses()) {
        const auto* device = qobject_cast<const BaseDevice*>(manager->device(address).data());
        if (!device) {
            continue;
        }
        const QString where = QStringLiteral("%1:%2").arg(address.bus()).arg(address.address());
        addFinding(
            QStringLiteral("Instrument at %1: %2 (%3), serial %4, firmware %5, %6")
                .arg(where, device->name(), device->kindKey(), device->serial(), device->softwareVersion(),
                     device->isConnected() ? QStringLiteral("connected") : QStringLiteral("not connected")));
        if (device->isConnected() && !m_hasInstrument) {
            setInstrument(
                {device->name(), device->kindKey(), device->serial(), device->softwareVersion(), where});
        }
    }
}

QString SupportBundle::suggestedFileName(const QDateTime& now)
{
    return QStringLiteral("service-support-%1.zip")
        .arg(now.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")));
}

QStringList SupportBundle::newestLogFiles(const QString& folder, int count)
{
    static const QRegularExpression daily(QStringLiteral("_(\\d{4}-\\d{2}-\\d{2}_\\d{2}-\\d{2})\\.log$"));
    struct Found
    {
        QString stamp;
        QString path;
    };
    std::vector<Found> found;
    const QFileInfoList files =
        QDir(folder).entryInfoList({QStringLiteral("*.log")}, QDir::Files, QDir::Name);
    for (const QFileInfo& info : files) {
        const QRegularExpressionMatch match = daily.match(info.fileName());
        if (match.hasMatch()) {
            found.push_back({match.captured(1), info.filePath()});
        }
    }
    // The time in the name, not the file's modification time: that is when the day's log was opened.
    std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.stamp != b.stamp ? a.stamp > b.stamp : a.path > b.path;
    });
    QStringList newest;
    for (const Found& f : found) {
        if (newest.size() == count) {
            break;
        }
        newest << f.path;
    }
    return newest;
}

QString SupportBundle::versionsText()
{
    const libusb_version* usb = libusb_get_version();
    QString text;
    text += QStringLiteral("%1 %2 (%3)\n")
                .arg(QCoreApplication::applicationName(), ApplicationIdentity::version(),
                     QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    text += QStringLiteral("Qt %1 (built with %2)\n")
                .arg(QString::fromLatin1(qVersion()), QStringLiteral(QT_VERSION_STR));
    text += QStringLiteral("libusb %1.%2.%3.%4%5\n")
                .arg(usb->major)
                .arg(usb->minor)
                .arg(usb->micro)
                .arg(usb->nano)
                .arg(QString::fromLatin1(usb->rc));
    text += QStringLiteral("libzip %1\n").arg(QString::fromLatin1(zip_libzip_version()));
    text += QStringLiteral("Operating system: %1\n").arg(QSysInfo::prettyProductName());
    text += QStringLiteral("Kernel: %1 %2\n").arg(QSysInfo::kernelType(), QSysInfo::kernelVersion());
    text += QStringLiteral("Architecture: %1\n").arg(QSysInfo::currentCpuArchitecture());
    return text;
}

QStringList SupportBundle::snapshotFiles() const
{
    QStringList paths;
    if (m_hasInstrument) {
        const QList<SnapshotStore::Entry> entries =
            SnapshotStore(m_snapshotFolder).list(m_instrument.kind, m_instrument.serial);
        for (const SnapshotStore::Entry& entry : entries) {
            paths << entry.path;
        }
        return paths;
    }
    const QFileInfoList files =
        QDir(m_snapshotFolder)
            .entryInfoList({QStringLiteral("*.json")}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo& info : files) {
        if (info.size() <= kMaxSnapshotBytes) {
            paths << info.filePath();
        }
    }
    return paths;
}

int SupportBundle::write(const QString& path, QString* error)
{
    auto failed = [&](int code, const QString& reason) {
        logger()->error("Support bundle not written to {}: {}", path, reason);
        if (error) {
            *error = reason;
        }
        return code;
    };
    // What was logged up to now belongs in the bundle: the file sink is shared by every logger.
    logger()->info("Writing a support bundle to {}", path);
    logger()->flush();

    std::vector<Entry> entries;
    QStringList contents;
    QStringList missing;
    auto addFile = [&](const QString& source, const QString& name, bool redacted = false) {
        QByteArray data;
        QString why;
        if (!readFile(source, &data, &why)) {
            missing << QStringLiteral("%1: %2 cannot be read (%3)")
                           .arg(name, QDir::toNativeSeparators(source), why);
            return;
        }
        entries.push_back(
            {name, redacted ? SettingsRedaction::redact(data) : data, QFileInfo(source).lastModified()});
        contents << QStringLiteral("%1  (%2)").arg(name, QDir::toNativeSeparators(source));
    };
    auto addText = [&](const QString& name, const QString& text) {
        entries.push_back({name, text.toUtf8(), QDateTime::currentDateTimeUtc()});
        contents << name;
    };

    addText(QStringLiteral("versions.txt"), versionsText());
    QString connection = m_findings.join(QLatin1Char('\n')) + QLatin1Char('\n');
    connection += m_hasInstrument
                      ? QStringLiteral("Connected instrument: %1 (%2), serial %3, firmware %4, at %5\n")
                            .arg(m_instrument.name, m_instrument.kind, m_instrument.serial,
                                 m_instrument.firmware, m_instrument.address)
                      : QStringLiteral("Connected instrument: none\n");
    addText(QStringLiteral("connection.txt"), connection);
    addText(QStringLiteral("usb-devices.txt"), UsbDeviceList::text());

    if (QFileInfo::exists(m_settingsFile)) {
        addFile(m_settingsFile, QStringLiteral("settings.ini"), true);
    } else {
        missing << QStringLiteral("settings.ini: there is no settings file (yet) at %1")
                       .arg(QDir::toNativeSeparators(m_settingsFile));
    }
    const QStringList logs = newestLogFiles(m_logFolder);
    if (logs.isEmpty()) {
        missing
            << QStringLiteral("logs/: no daily log file in %1").arg(QDir::toNativeSeparators(m_logFolder));
    }
    for (const QString& log : logs) {
        addFile(log, QStringLiteral("logs/") + QFileInfo(log).fileName());
    }
    const QStringList snapshots = snapshotFiles();
    if (snapshots.isEmpty()) {
        missing << QStringLiteral("snapshots/: no snapshot %1in %2")
                       .arg(m_hasInstrument
                                ? QStringLiteral("of %1 %2 ").arg(m_instrument.kind, m_instrument.serial)
                                : QString(),
                            QDir::toNativeSeparators(m_snapshotFolder));
    }
    for (const QString& snapshot : snapshots) {
        addFile(snapshot, QStringLiteral("snapshots/") + QFileInfo(snapshot).fileName());
    }

    QString summary = QStringLiteral("Support bundle of %1 %2, made %3\n")
                          .arg(QCoreApplication::applicationName(), ApplicationIdentity::version(),
                               QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
    summary += QStringLiteral("Snapshots: %1\n")
                   .arg(m_hasInstrument ? QStringLiteral("of the connected instrument (%1 %2)")
                                              .arg(m_instrument.kind, m_instrument.serial)
                                        : QStringLiteral("all (no instrument connected)"));
    summary += QStringLiteral("\nContents:\n  contents.txt\n  ") + contents.join(QStringLiteral("\n  ")) +
               QLatin1Char('\n');
    if (!missing.isEmpty()) {
        summary +=
            QStringLiteral("\nMissing:\n  ") + missing.join(QStringLiteral("\n  ")) + QLatin1Char('\n');
    }
    entries.insert(entries.begin(),
                   {QStringLiteral("contents.txt"), summary.toUtf8(), QDateTime::currentDateTimeUtc()});

    QByteArray archive;
    QString reason;
    if (!buildArchive(entries, &archive, &reason)) {
        return failed(-1, QStringLiteral("the archive could not be built: %1").arg(reason));
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(archive) != archive.size() || !file.commit()) {
        const QString why =
            QStringLiteral("cannot write %1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
        file.cancelWriting();
        return failed(-2, why);
    }
    logger()->info("Support bundle written to {}: {} parts, {} bytes", path, entries.size(), archive.size());
    return 0;
}
