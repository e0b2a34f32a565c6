#pragma once

#include "devices/abstractjob.h"
#include "firmware/firmwareinfo.h"

#include <QPointer>
#include <QString>

class BaseDevice;

// Installs a firmware file on the instrument: loads and checks the file (image hash, hardware revision,
// offset), announces the size and the JAMCRC of the bytes to be sent, streams them in packets
// [257][position][up to 760 bytes] and asks the instrument to verify what it received.
//
// Every check runs before the first packet, so a wrong file, a wrong board or a bad offset leaves the
// instrument untouched; an aborted transfer sends nothing further. Results:
//   0 verified; -1 "Can't decrypt file"; -2 "Hash is wrong!"; -3 "Firmware not supported by hardware
//   revision!"; -4 "Invalid offset at file"; -5 "USB Error"; -7 verification failed or not answered.
// Only a verify answer that carries a status word reading 0 counts as success.
//
// Threads: constructed on the user-interface thread, where it takes a copy of the device's hardware
// revision; executed on the worker, which never reads the device object. Progress: bytes sent of the image
// size while streaming ("Writing firmware..."), then the full size with "Verifying...".
class WriteFirmwareJob : public AbstractJob
{
    Q_OBJECT

public:
    static constexpr int kChunkSize = 760;
    static constexpr unsigned int kPacketTimeoutMs = 50;
    static constexpr unsigned int kVerifyTimeoutMs = 60000;

    enum Result
    {
        Success = 0,
        DecryptFailed = -1,
        HashWrong = -2,
        HardwareNotSupported = -3,
        InvalidOffset = -4,
        UsbError = -5,
        VerifyFailed = -7,
    };

    WriteFirmwareJob(QString file, BaseDevice* device, QObject* parent = nullptr);

    // The checks a file passes before the instrument hears of it, in the order the job makes them:
    // DecryptFailed for an empty image (the loader's answer to a file it cannot decipher), then HashWrong,
    // HardwareNotSupported and InvalidOffset; Success when the job would start sending.
    static Result checkFile(const QByteArray& image, const FirmwareInfo& info,
                            const QString& hardwareRevision);

    void execute(UsbDevice* usb) override;
    QString resultMessage(int result) const override;

    QString file() const { return m_file; }
    // The revision the file is checked against: the device's at the time the job was created.
    QString hardwareRevision() const { return m_hardwareRevision; }

private:
    QString m_file;
    QPointer<BaseDevice> m_device;
    QString m_hardwareRevision;
};
