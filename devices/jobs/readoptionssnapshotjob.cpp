#include "devices/jobs/readoptionssnapshotjob.h"

#include "usb/usbdevice.h"

#include <QSet>

#include <libusb.h>

namespace {
bool isSilence(int rc)
{
    // A broken link (unplug, I/O or pipe error) is not silence and ends the read at once.
    return rc == LIBUSB_ERROR_TIMEOUT || rc == UsbDevice::kWrongAnswer;
}
} // namespace

ReadOptionsSnapshotJob::ReadOptionsSnapshotJob(const QList<quint32>& optionIds, QObject* parent)
    : AbstractJob(QStringLiteral("ReadOptionsSnapshotJob"), parent), m_ids(optionIds)
{
}

int ReadOptionsSnapshotJob::expectedCount() const
{
    return QSet<quint32>(m_ids.begin(), m_ids.end()).size();
}

bool ReadOptionsSnapshotJob::readOne(UsbDevice* device, quint32 id)
{
    int rc = LIBUSB_ERROR_NO_DEVICE;
    QByteArray value;
    for (int attempt = 0; attempt < 2; ++attempt) {
        value = device ? device->readOption(id, &rc, UsbDevice::kRequestTimeoutMs) : QByteArray();
        if (!device || !isSilence(rc)) {
            break;
        }
        logger()->warn("Option {} got no answer (attempt {})", id, attempt + 1);
    }
    if (rc == 0) {
        m_values.insert(id, value);
        logger()->trace("Read option {} : {}", id, latin1Text(value));
        return true;
    }
    if (!device || !isSilence(rc)) {
        logger()->error("Reading option {} failed: {}", id, rc);
        setResult(rc);
        return false;
    }
    int chipRc = LIBUSB_ERROR_NO_DEVICE;
    device->request(e_cmd_GetChipId, e_cmd_ChipIdAnswer, &chipRc, UsbDevice::kRequestTimeoutMs);
    if (chipRc == 0) {
        logger()->info("Option {} is not known to this firmware", id);
        m_unknown.append(id);
        return true;
    }
    logger()->error("Option {} got no answer, and neither did the chip id: {}", id, chipRc);
    m_unanswered = id;
    setResult(isSilence(chipRc) ? kIncomplete : chipRc);
    return false;
}

void ReadOptionsSnapshotJob::execute(UsbDevice* device)
{
    m_values.clear();
    m_unknown.clear();
    for (int index = 0; index < m_ids.size(); ++index) {
        const quint32 id = m_ids.at(index);
        const int first = m_ids.indexOf(id);
        if (first == index && !readOne(device, id)) {
            return;
        }
        emit progressChanged(name(), first, m_ids.size(), QString());
    }
    if (!m_ids.isEmpty() && m_values.isEmpty()) {
        setResult(kNothingRead);
    }
}

QString ReadOptionsSnapshotJob::resultMessage(int result) const
{
    if (result == 0) {
        return QString();
    }
    if (result == kNothingRead) {
        return tr("The instrument answered no option read; no snapshot was taken.");
    }
    const QString count = tr("%1 of %2 options were read").arg(m_values.size()).arg(expectedCount());
    if (result == kIncomplete) {
        return tr("The snapshot is not complete: %1; option 0x%2 got no answer, and the instrument no longer "
                  "answered.")
            .arg(count, QStringLiteral("%1").arg(m_unanswered, 8, 16, QLatin1Char('0')));
    }
    return tr("The snapshot is not complete: %1; the instrument's options could not be read (%2).")
        .arg(count)
        .arg(result);
}
