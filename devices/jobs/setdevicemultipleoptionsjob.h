#pragma once

#include "devices/abstractjob.h"

#include <QByteArray>
#include <QHash>

// Sends a set of option values to the instrument's working copy, one packet per option in the hash's
// order. The first failed send stops the job with its libusb code and a message naming the option, so
// that the device does not commit a half-sent set. An empty set sends nothing and succeeds.
class SetDeviceMultipleOptionsJob : public AbstractJob
{
    Q_OBJECT

public:
    explicit SetDeviceMultipleOptionsJob(const QHash<quint32, QByteArray>& options,
                                         QObject* parent = nullptr);

    void execute(UsbDevice* device) override;
    QString resultMessage(int result) const override;

private:
    QHash<quint32, QByteArray> m_options;
    quint32 m_failedId = 0;
    int m_sent = 0;
    bool m_noDevice = false;
};
