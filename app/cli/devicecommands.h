#pragma once

#include "app/cli/clicontext.h"
#include "app/cli/clitext.h"
#include "usb/usbbusdeviceaddress.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QString>

class BaseDevice;
class Operation;
class TymbrelSensor;

// The subcommands that work on one served instrument (all but the measurement series): each runs to its
// end, prints its human-readable lines, fills the report and returns the exit code. The destructive ones
// ask and take an options snapshot first (CliSafeguard). The device may be gone afterwards (a reboot, a
// reset): nothing here touches it once its command has ended.
class DeviceCommands
{
    Q_DECLARE_TR_FUNCTIONS(DeviceCommands)

public:
    explicit DeviceCommands(const CliContext& context);

    int info(BaseDevice* device, const UsbBusDeviceAddress& address);
    int optionsRead(BaseDevice* device);
    int optionsRestore(BaseDevice* device);
    int firmwareUpdate(BaseDevice* device);
    int reset(BaseDevice* device);
    int logDownload(BaseDevice* device);
    int logClear(BaseDevice* device);
    int calibrate(TymbrelSensor* sensor);

    // The "device" object of every instrument command's JSON document.
    static QJsonObject deviceJson(const BaseDevice& device, const UsbBusDeviceAddress& address);
    // "0x20000004"
    static QString hexId(quint32 id);
    // "Control Unit (serial 1234)"
    static CliText title(const BaseDevice& device);

private:
    // Names `file` in the report; 0 when it can be read, otherwise the exit code of the failure.
    int takeInputFile(const QString& file);
    // Runs a simple destructive operation: asks, takes the snapshot, posts it with `post` and waits for
    // it. `done` is printed on success.
    int destructiveJob(BaseDevice* device, const QString& action, const QString& question,
                       Operation* (BaseDevice::*post)(), const QString& done);

    CliContext m_context;
};
