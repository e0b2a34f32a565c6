#include "devices/jobs/readoptionssnapshotjob.h"

ReadOptionsSnapshotJob::ReadOptionsSnapshotJob(const QList<quint32>& optionIds, QObject* parent)
    : ReadDeviceMultipleOptionsJob(QStringLiteral("ReadOptionsSnapshotJob"), optionIds, parent),
      m_ids(optionIds)
{
}

void ReadOptionsSnapshotJob::execute(UsbDevice* device)
{
    ReadDeviceMultipleOptionsJob::execute(device);
    if (result() == 0 && !m_ids.isEmpty() && values().isEmpty()) {
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
    return tr("The instrument's options could not be read for a snapshot (%1).").arg(result);
}
