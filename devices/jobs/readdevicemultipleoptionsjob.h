#pragma once

#include "devices/abstractjob.h"

#include <QByteArray>
#include <QHash>
#include <QList>

// Reads a list of options in list order. The first unreadable id ends the job; the values read so far
// are its output. An id met with silence or a mismatching answer leaves the result 0 (a kind's list may
// name ids an older instrument does not know); a broken link (unplug, I/O or pipe error) is its libusb
// code.
// Progress: (index of the id's first occurrence, list size) after each read.
class ReadDeviceMultipleOptionsJob : public AbstractJob
{
    Q_OBJECT

public:
    explicit ReadDeviceMultipleOptionsJob(const QList<quint32>& optionIds, QObject* parent = nullptr);

    void execute(UsbDevice* device) override;

    QHash<quint32, QByteArray> values() const { return m_values; }
    QList<quint32> requestedIds() const { return m_optionIds; }

private:
    QHash<quint32, QByteArray> m_values;
    QList<quint32> m_optionIds;
};
