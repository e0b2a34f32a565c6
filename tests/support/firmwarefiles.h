#pragma once

#include "firmware/firmwarecipher.h"
#include "firmware/firmwareinfo.h"
#include "sim/siminstrument.h"
#include "testfiles.h"
#include "tools/firmwarepacker.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Firmware files as the packer writes them, in a folder of their own that goes with the test.
class FirmwareFiles
{
public:
    // An image the simulated instruments run as `version` once verified and restarted.
    static QByteArray taggedImage(const QString& version, int size = 3000)
    {
        QByteArray image = QByteArray(SimInstrument::kVersionTag) + version.toLatin1() + '\0';
        for (int i = image.size(); i < size; ++i) {
            image.append(char((i * 7 + i / 251) & 0xFF));
        }
        return image;
    }

    static FirmwareInfo info(const QString& version, const QStringList& hardware, int offset = 0)
    {
        FirmwareInfo info;
        info.firmwareVersion = version;
        info.supportedHardware = hardware;
        info.offset = offset;
        info.changelog = QStringLiteral("Changes of ") + version;
        info.type = QStringLiteral("Tymbrel");
        info.createdAt = QStringLiteral("2026-12-01");
        return info;
    }

    // `image` packed, compressed and with its hash, or with `md5` in the hash's place.
    QString write(const QByteArray& image, const FirmwareInfo& info, const QByteArray& md5 = QByteArray())
    {
        const quint8 flags = FirmwareCipher::FlagCompressed | FirmwareCipher::FlagHash;
        return write(QStringLiteral("f%1-%2.firmware").arg(++m_count).arg(info.firmwareVersion),
                     md5.isEmpty()
                         ? packer.packFirmware(image, info, flags)
                         : packer.packJson(FirmwarePacker::firmwareDocument(image, info, md5), flags));
    }

    // A file whose image runs as `version` on the listed hardware revisions.
    QString tagged(const QString& version, const QStringList& hardware, int size = 3000, bool develop = false)
    {
        FirmwareInfo made = info(version, hardware);
        made.developVersion = develop;
        return write(taggedImage(version, size), made);
    }

    // `content` as the file `name` in the folder (or at `name`, if that is absolute).
    QString write(const QString& name, const QByteArray& content)
    {
        return writeFile(QDir::isAbsolutePath(name) ? name : dir.filePath(name), content);
    }

    // The application name holds a '/', so the default template would name a missing directory.
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/firmware-files-XXXXXX")};
    FirmwarePacker packer{FirmwareCipher::kBuiltInKey};

private:
    int m_count = 0;
};
