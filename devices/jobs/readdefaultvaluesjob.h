#pragma once

#include "devices/abstractjob.h"

// Reads the identity of a freshly connected instrument: circuit-board serial, firmware version, device
// serial, hardware revision, device type and chip id. Older firmware lacks the serial and hardware
// revision options; the legacy commands are used then and updateRequired is set.
// Results: 0 all read; -1 no transport or pcb serial unreadable; -2 software version; -3 serial;
// -4 hardware revision; -5 device type; -6 chip id. Values read before the failing step stay set.
class ReadDefaultValuesJob : public AbstractJob
{
    Q_OBJECT

public:
    explicit ReadDefaultValuesJob(QObject* parent = nullptr);

    void execute(UsbDevice* device) override;

    QString pcbSerial() const { return m_pcbSerial; }
    QString softwareVersion() const { return m_softwareVersion; }
    QString serial() const { return m_serial; }
    QString chipId() const { return m_chipId; }
    QString hardwareRevision() const { return m_hardwareRevision; }
    QString deviceType() const { return m_deviceType; }
    bool updateRequired() const { return m_updateRequired; }

    // "BOOT 1.4.2$2021-03-04" -> "1.4.2": the last blank-separated word of the first '$' part.
    static QString versionFromAnswer(const QString& text);

private:
    bool deviceValid() const;

    UsbDevice* m_device = nullptr;
    QString m_pcbSerial;
    QString m_softwareVersion;
    QString m_serial;
    QString m_chipId;
    QString m_hardwareRevision;
    QString m_deviceType;
    bool m_updateRequired = false;
};
