#pragma once

#include "core/baselogger.h"
#include "firmware/firmwareinfo.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <array>
#include <functional>

// The enciphering side of the firmware container: writes firmware files (header fields plus the image in
// Base64) and enciphered option description files that the tool's loader and cipher read back.
// Used by the release tool firmware-packer and by the tests to build their fixtures; never part of the
// service tool itself. Results are byte arrays; nothing here throws or touches files except save().
class FirmwarePacker : public BaseLogger
{
public:
    explicit FirmwarePacker(quint64 key);

    // Source of the random first byte of each body; replace it for reproducible output.
    void setRandomByte(std::function<quint8()> randomByte);

    // Enciphers `plainText` into a version-3 container with the given flag combination (bits of
    // FirmwareCipher::Flag). With both the checksum and the hash flag, only the checksum is written, as the
    // reader checks only that one.
    QByteArray encrypt(const QByteArray& plainText, quint8 flags) const;

    // The plain JSON header of a firmware file. "MD5" is the digest of the whole image unless `md5` is
    // given (tests use a wrong one on purpose); fields left empty in `info` are omitted, except
    // "DevelopVersion" and "Offset", which are always written.
    static QJsonObject firmwareDocument(const QByteArray& image, const FirmwareInfo& info,
                                        const QByteArray& md5 = QByteArray());

    QByteArray packFirmware(const QByteArray& image, const FirmwareInfo& info, quint8 flags) const;
    QByteArray packJson(const QJsonObject& document, quint8 flags) const;

    // Writes `content` to `path`; false (with an error line) when the file cannot be written completely.
    bool save(const QString& path, const QByteArray& content) const;

private:
    std::array<char, 8> m_keyParts{};
    std::function<quint8()> m_randomByte;
};
