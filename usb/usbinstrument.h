#pragma once

#include <QObject>
#include <QString>

// What the discovery needs to know of an instrument it handed to a device object: whether it is
// connected, what to call it, and when it goes away or could not be opened. The device layer derives
// its device objects from this, so that the discovery does not depend on the layer above it.
class UsbInstrument : public QObject
{
    Q_OBJECT

public:
    explicit UsbInstrument(QObject* parent = nullptr);
    ~UsbInstrument() override;

    virtual QString name() const = 0;
    virtual bool isConnected() const = 0;

signals:
    void connected();
    void disconnected();
    // The instrument could not be opened (`step` the failed libusb call, `error` its code). It will never
    // become connected; the discovery reports it and takes it out of its table.
    void openFailed(QString step, int error);
};
