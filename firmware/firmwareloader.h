#pragma once

#include "firmware/firmwareinfo.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

// Largest firmware file read at all. A real file is far smaller; anything bigger is not one of ours and is
// refused before it is read into memory.
constexpr qint64 kMaxFirmwareFileSize = 128 * 1024 * 1024;

// Reads an enciphered firmware file: returns the decoded image and fills `info` with the header fields.
// When `rest` is given it receives the JSON header without its "Firmware" member.
//
// Never fails loudly: a missing, unreadable, oversized or undecipherable file, a directory, a device node,
// or one without a "Firmware" string gives an empty image. For a path that is not a readable regular file
// `info` and `rest` stay untouched; otherwise they hold what the deciphered header offered, defaults for
// the rest. Safe to call from any thread.
QByteArray loadFirmware(const QString& path, FirmwareInfo* info, QJsonObject* rest);

// The same for bytes already in memory (the whole file content).
QByteArray loadFirmwareFromData(const QByteArray& fileContent, FirmwareInfo* info, QJsonObject* rest);
