#pragma once

#include "usb/usbdevice.h"

#include <QByteArray>
#include <QtEndian>

#include <libusb.h>

#include <vector>

// The firmware transfer as a bare libusb loop: the packets the update job sends for an image sent from
// its first byte (size, checksum, [257][position][up to 760 bytes] data, end of data, verify request),
// nothing else. Benchmarks set the tool's update against it.
namespace BareFirmwareLoop {

inline QByteArray word(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian<quint32>(value, bytes.data());
    return bytes;
}

// `checksum` is the image's transfer checksum (firmwareChecksum).
inline std::vector<QByteArray> packets(const QByteArray& image, quint32 checksum)
{
    constexpr int kChunk = 760;
    std::vector<QByteArray> list;
    list.push_back(word(e_cmd_FirmwareStart) + word(quint32(image.size())));
    list.push_back(word(e_cmd_FirmwareChecksum) + word(checksum));
    for (int position = 0; position < image.size(); position += kChunk) {
        list.push_back(word(e_cmd_FirmwareData) + word(quint32(position)) + image.mid(position, kChunk));
    }
    list.push_back(word(e_cmd_FirmwareData));
    list.push_back(word(e_cmd_FirmwareData));
    return list;
}

// Sends `packets` with `timeoutMs` per packet and reads the verify answer; the number of failed
// transfers (a verify answer without status 0 counts as one).
inline int send(libusb_device_handle* handle, std::vector<QByteArray>& packets, unsigned int timeoutMs)
{
    int failures = 0;
    for (QByteArray& packet : packets) {
        int transferred = 0;
        failures += libusb_bulk_transfer(handle, 0x01, reinterpret_cast<unsigned char*>(packet.data()),
                                         packet.size(), &transferred, timeoutMs) != 0;
    }
    unsigned char answer[1024];
    int transferred = 0;
    failures += libusb_bulk_transfer(handle, 0x81, answer, sizeof answer, &transferred, 60000) != 0;
    failures += transferred != 8 || answer[4] != 0;
    return failures;
}

} // namespace BareFirmwareLoop
