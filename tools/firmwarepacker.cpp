#include "firmwarepacker.h"

#include "firmware/firmwarecipher.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QtEndian>

FirmwarePacker::FirmwarePacker(quint64 key) : BaseLogger(QStringLiteral("FirmwarePacker"))
{
    for (size_t j = 0; j < m_keyParts.size(); ++j) {
        m_keyParts[j] = char((key >> (8 * j)) & 0xFF);
    }
    m_randomByte = [] { return quint8(QRandomGenerator::global()->bounded(256)); };
}

void FirmwarePacker::setRandomByte(std::function<quint8()> randomByte)
{
    m_randomByte = std::move(randomByte);
}

QByteArray FirmwarePacker::encrypt(const QByteArray& plainText, quint8 flags) const
{
    QByteArray payload = plainText;
    if (flags & FirmwareCipher::FlagCompressed) {
        payload = qCompress(payload, 9);
    }

    QByteArray integrity;
    if (flags & FirmwareCipher::FlagChecksum) {
        integrity.resize(2);
        qToBigEndian<quint16>(qChecksum(payload.constData(), uint(payload.size())), integrity.data());
    } else if (flags & FirmwareCipher::FlagHash) {
        integrity = QCryptographicHash::hash(payload, QCryptographicHash::Sha1);
    }

    QByteArray body;
    body.reserve(1 + integrity.size() + payload.size());
    body.append(char(m_randomByte()));
    body.append(integrity);
    body.append(payload);

    // Inverse of the reader's chain: each cipher byte is chained with the previous cipher byte.
    char previous = 0;
    char* bytes = body.data();
    for (int i = 0; i < body.size(); ++i) {
        bytes[i] = char(bytes[i] ^ previous ^ m_keyParts[size_t(i) % m_keyParts.size()]);
        previous = bytes[i];
    }

    QByteArray container;
    container.reserve(2 + body.size());
    container.append(char(FirmwareCipher::kVersion));
    container.append(char(flags));
    container.append(body);
    logger()->debug("Enciphered {} bytes with flags {:#x} into {} bytes", plainText.size(), flags,
                    container.size());
    return container;
}

QJsonObject FirmwarePacker::firmwareDocument(const QByteArray& image, const FirmwareInfo& info,
                                             const QByteArray& md5)
{
    QJsonObject document;
    if (!info.firmwareVersion.isEmpty()) {
        document.insert(QStringLiteral("FirmwareVersion"), info.firmwareVersion);
    }
    document.insert(QStringLiteral("DevelopVersion"), info.developVersion);
    if (!info.changelog.isEmpty()) {
        document.insert(QStringLiteral("Changelog"), info.changelog);
    }
    if (!info.type.isEmpty()) {
        document.insert(QStringLiteral("Type"), info.type);
    }
    if (!info.supportedHardware.isEmpty()) {
        document.insert(QStringLiteral("SupportedHardware"),
                        QJsonArray::fromStringList(info.supportedHardware));
    }
    const QByteArray digest = md5.isEmpty() ? QCryptographicHash::hash(image, QCryptographicHash::Md5) : md5;
    document.insert(QStringLiteral("MD5"), QString::fromLatin1(digest.toHex()));
    if (!info.createdAt.isEmpty()) {
        document.insert(QStringLiteral("CreatedAt"), info.createdAt);
    }
    document.insert(QStringLiteral("Offset"), info.offset);
    document.insert(QStringLiteral("Firmware"), QString::fromLatin1(image.toBase64()));
    return document;
}

QByteArray FirmwarePacker::packFirmware(const QByteArray& image, const FirmwareInfo& info, quint8 flags) const
{
    return packJson(firmwareDocument(image, info), flags);
}

QByteArray FirmwarePacker::packJson(const QJsonObject& document, quint8 flags) const
{
    return encrypt(QJsonDocument(document).toJson(QJsonDocument::Compact), flags);
}

bool FirmwarePacker::save(const QString& path, const QByteArray& content) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        logger()->error("Can't write {}: {}", path, file.errorString());
        return false;
    }
    logger()->info("Wrote {} ({} bytes)", path, content.size());
    return true;
}
