#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The descriptive header of a firmware file, as read by loadFirmware().
struct FirmwareInfo
{
    QString firmwareVersion;
    bool developVersion = false;
    QString changelog;
    QString type;
    // Hardware revisions the image runs on; "ALL" stands for every revision.
    QStringList supportedHardware;
    // MD5 digest of the whole decoded image, leading offset bytes included (16 bytes when present).
    QByteArray md5;
    QString createdAt;
    // Number of leading image bytes that are not sent to the instrument.
    int offset = 0;
};
