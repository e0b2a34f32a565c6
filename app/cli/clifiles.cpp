#include "app/cli/clifiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

bool CliFiles::canRead(const QString& path, CliText* reason)
{
    const QFileInfo info(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (!info.exists()) {
        *reason = CliText::translate("CliFiles", "%1 does not exist.").arg(shown);
        return false;
    }
    if (!info.isFile()) {
        *reason = CliText::translate("CliFiles", "%1 is not a file.").arg(shown);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = CliText::translate("CliFiles", "Cannot read %1: %2").arg(shown, file.errorString());
        return false;
    }
    return true;
}

bool CliFiles::canWrite(const QString& path, CliText* reason)
{
    const QFileInfo info(path);
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo folder(info.absolutePath());
    if (!folder.exists() || !folder.isDir()) {
        *reason = CliText::translate("CliFiles", "Cannot write %1: the folder %2 does not exist.")
                      .arg(shown, QDir::toNativeSeparators(info.absolutePath()));
        return false;
    }
    if (info.isDir()) {
        *reason = CliText::translate("CliFiles", "Cannot write %1: it is a folder.").arg(shown);
        return false;
    }
    if (!folder.isWritable() || (info.exists() && !info.isWritable())) {
        *reason = CliText::translate("CliFiles", "Cannot write %1: permission denied.").arg(shown);
        return false;
    }
    return true;
}

bool CliFiles::write(const QString& path, const QByteArray& bytes, CliText* reason)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *reason = CliText::translate("CliFiles", "Cannot write %1: %2")
                      .arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        *reason = CliText::translate("CliFiles", "Cannot write %1: %2")
                      .arg(QDir::toNativeSeparators(path), file.errorString());
        file.cancelWriting();
        return false;
    }
    return true;
}
