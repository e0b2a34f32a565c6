#include "firmwareloader.h"

#include "firmware/firmwarecipher.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QVariant>

#include <array>

namespace {
// A header element's string form: strings as they are, numbers in their shortest decimal form
// ("3", "1.5"), booleans as "true"/"false"; arrays, objects and null give an empty string.
QString stringForm(const QJsonValue& value)
{
    return value.toVariant().toString();
}

// Decodes well-formed Base64 (alphabet characters only, length a multiple of four, '=' only as the last one
// or two characters) with a table, several times faster than QByteArray::fromBase64. Returns false for
// anything else, which then goes to Qt's lenient decoder so that odd files decode exactly as before.
bool decodeStrictBase64(const QString& text, QByteArray* decoded)
{
    static const auto table = [] {
        std::array<qint8, 128> values{};
        values.fill(-1);
        const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        for (int i = 0; i < 64; ++i) {
            values[size_t(alphabet[i])] = qint8(i);
        }
        return values;
    }();

    const int length = text.size();
    if (length % 4 != 0) {
        return false;
    }
    const ushort* chars = text.utf16();
    int padding = 0;
    if (length > 0 && chars[length - 1] == '=') {
        padding = (chars[length - 2] == '=') ? 2 : 1;
    }
    QByteArray out(length / 4 * 3 - padding, Qt::Uninitialized);
    char* bytes = out.data();
    int written = 0;
    for (int i = 0; i < length; i += 4) {
        quint32 word = 0;
        const int digits = (i + 4 == length) ? 4 - padding : 4;
        for (int k = 0; k < digits; ++k) {
            const ushort c = chars[i + k];
            if (c >= 128 || table[c] < 0) {
                return false;
            }
            word |= quint32(table[c]) << (18 - 6 * k);
        }
        bytes[written++] = char(word >> 16);
        if (digits > 2) {
            bytes[written++] = char(word >> 8);
        }
        if (digits > 3) {
            bytes[written++] = char(word);
        }
    }
    *decoded = out;
    return true;
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
    const QString encoded = image.toString();
    QByteArray decoded;
    if (decodeStrictBase64(encoded, &decoded)) {
        return decoded;
    }
    return QByteArray::fromBase64(encoded.toUtf8());
}

QByteArray loadFirmware(const QString& path, FirmwareInfo* info, QJsonObject* rest)
{
    // Only regular files: a FIFO would block the open for ever, a device node would never end.
    const QFileInfo fileInfo(path);
    if (path.isEmpty() || !fileInfo.exists() || !fileInfo.isFile()) {
        return QByteArray();
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QByteArray();
    }
    if (file.size() > kMaxFirmwareFileSize) {
        return loadFirmwareFromData(QByteArray(), info, rest);
    }
    return loadFirmwareFromData(file.readAll(), info, rest);
}
