#include "firmwareloader.h"

#include "firmware/firmwarecipher.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QVariant>

namespace {
// A header element's string form: strings as they are, numbers in their shortest decimal form
// ("3", "1.5"), booleans as "true"/"false"; arrays, objects and null give an empty string.
QString stringForm(const QJsonValue& value)
{
    return value.toVariant().toString();
}
} // namespace

QByteArray loadFirmwareFromData(const QByteArray& fileContent, FirmwareInfo* info, QJsonObject* rest)
{
    FirmwareCipher cipher(FirmwareCipher::kBuiltInKey);
    QJsonObject header = QJsonDocument::fromJson(cipher.decrypt(fileContent)).object();

    if (info) {
        info->firmwareVersion = header.value(QStringLiteral("FirmwareVersion")).toString();
        info->developVersion = header.value(QStringLiteral("DevelopVersion")).toBool(false);
        info->changelog = header.value(QStringLiteral("Changelog")).toString();
        info->type = header.value(QStringLiteral("Type")).toString();
        info->supportedHardware.clear();
        const QJsonArray hardware = header.value(QStringLiteral("SupportedHardware")).toArray();
        for (const QJsonValue& revision : hardware) {
            info->supportedHardware.append(stringForm(revision));
        }
        info->md5 = QByteArray::fromHex(header.value(QStringLiteral("MD5")).toString().toLatin1());
        info->createdAt = header.value(QStringLiteral("CreatedAt")).toString();
        // toInt gives the default for fractions and numbers outside the int range.
        info->offset = header.value(QStringLiteral("Offset")).toInt(0);
    }

    const QJsonValue image = header.take(QStringLiteral("Firmware"));
    if (rest) {
        *rest = header;
    }
    if (!image.isString()) {
        return QByteArray();
    }
    return QByteArray::fromBase64(image.toString().toUtf8());
}

QByteArray loadFirmware(const QString& path, FirmwareInfo* info, QJsonObject* rest)
{
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        return QByteArray();
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QByteArray();
    }
    QByteArray content;
    if (!file.isSequential()) {
        if (file.size() > kMaxFirmwareFileSize) {
            return loadFirmwareFromData(QByteArray(), info, rest);
        }
        content = file.readAll();
    } else {
        // A pipe or device node has no size: read in steps and give up one step past the cap.
        constexpr qint64 kStep = 64 * 1024;
        while (content.size() <= kMaxFirmwareFileSize) {
            const QByteArray part = file.read(kStep);
            if (part.isEmpty()) {
                break;
            }
            content.append(part);
        }
        if (content.size() > kMaxFirmwareFileSize) {
            return loadFirmwareFromData(QByteArray(), info, rest);
        }
    }
    return loadFirmwareFromData(content, info, rest);
}
