#include "devices/jobs/cleardatasetsjob.h"

#include "usb/usbdevice.h"

#include <libusb.h>

namespace {
// The argument word the unit expects with both dataset requests; its meaning is the unit's own.
constexpr quint32 kDataSetsArgument = 1026;
} // namespace

ClearDataSetsJob::ClearDataSetsJob(QObject* parent) : AbstractJob(QStringLiteral("ClearDataSetsJob"), parent)
{
}

void ClearDataSetsJob::execute(UsbDevice* device)
{
    if (!device) {
        setResult(LIBUSB_ERROR_NO_DEVICE);
        return;
    }
    setResult(device->sendCommand(e_cmd_ClearDataSets, kDataSetsArgument));
}

QString ClearDataSetsJob::resultMessage(int result) const
{
    if (result == 0) {
        return tr("The measurement series were deleted on the instrument.");
    }
    return tr("The measurement series could not be deleted on the instrument (%1).")
        .arg(QString::fromLatin1(libusb_error_name(result)));
}
