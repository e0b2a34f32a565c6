#pragma once

#include "devices/abstractjob.h"

#include <QByteArray>

// Sends one option value to the instrument's working copy ([23][id][value]); nothing is stored
// permanently. A failed or short send ends the job with the libusb code (LIBUSB_ERROR_IO for a short
// one, LIBUSB_ERROR_NO_DEVICE without a transport) and a message for the user.
class SetDeviceOptionJob : public AbstractJob
{
    Q_OBJECT

public:
    // The most value bytes one set-option packet carries: the instrument's 1024-byte packet less the
    // command and id words. A longer value would go out as two packets, the second read as a command.
    static constexpr int kMaxValueSize = 1024 - 8;

    SetDeviceOptionJob(quint32 optionId, const QByteArray& value, QObject* parent = nullptr);

    void execute(UsbDevice* device) override;
    QString resultMessage(int result) const override;

    // Sends [23][id][value]; returns 0 or the libusb code. Shared with the multiple set.
    static int sendOption(UsbDevice* device, quint32 optionId, const QByteArray& value,
                          const std::shared_ptr<spdlog::logger>& log);

private:
    quint32 m_optionId;
    QByteArray m_value;
};
