#include "devices/jobs/readdatasetsjob.h"

#include "measurements/parsedatasetrecords.h"
#include "usb/usbdevice.h"

#include <libusb.h>

namespace {
// The argument word the unit expects with both dataset requests; its meaning is the unit's own.
constexpr quint32 kDataSetsArgument = 1026;
} // namespace

ReadDataSetsJob::ReadDataSetsJob(QObject* parent) : AbstractJob(QStringLiteral("ReadDataSetsJob"), parent) {}

void ReadDataSetsJob::execute(UsbDevice* device)
{
    if (!device) {
        setResult(LIBUSB_ERROR_NO_DEVICE);
        return;
    }
    int rc = device->sendCommand(e_cmd_ReadDataSets, kDataSetsArgument);
    if (rc != LIBUSB_SUCCESS) {
        setResult(rc);
        return;
    }

    QByteArray packet;
    rc = device->receiveData(packet, UsbDevice::kStreamFirstPacketTimeoutMs);
    // A unit that does not answer at all has nothing stored for us. Any other failure is a failure:
    // reporting an empty store then would hide series that are still on the unit.
    if (rc == LIBUSB_ERROR_TIMEOUT)
        return;
    QByteArray image;
    while (rc == LIBUSB_SUCCESS && !packet.isEmpty()) {
        if (packet.size() == 4 && UsbDevice::toUInt32(packet) == e_cmd_DataSetsEnd)
            break;
        image += packet;
        rc = device->receiveData(packet, UsbDevice::kStreamNextPacketTimeoutMs);
    }
    if (rc != LIBUSB_SUCCESS) {
        // A stream that breaks off is incomplete: nothing of it is handed out.
        setResult(rc);
        return;
    }

    const int imageSize = image.size();
    QList<DatasetRecord> records = parseDatasetRecords(image);
    image.clear();
    m_datasets.reserve(records.size());
    for (DatasetRecord& record : records) {
        m_datasets.append(VectarisDataset(record));
        record.points.clear(); // keeps the peak at one copy of the points
    }
    logger()->debug("{} bytes, {} series", imageSize, m_datasets.size());
}

QString ReadDataSetsJob::resultMessage(int result) const
{
    if (result == 0) {
        return QString();
    }
    return tr("The measurement series could not be read from the instrument (%1).")
        .arg(QString::fromLatin1(libusb_error_name(result)));
}
