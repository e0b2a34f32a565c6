#pragma once

#include "devices/jobs/readdevicemultipleoptionsjob.h"

#include <QList>

// Reads every option of the kind for a snapshot, exactly as the option read does (up to the first id
// the instrument does not know), but under its own name so that the device turns the values into a
// snapshot rather than only refreshing its cache.
class ReadOptionsSnapshotJob : public ReadDeviceMultipleOptionsJob
{
    Q_OBJECT

public:
    // No option came back although the kind has some: a snapshot without a single value protects nothing.
    static constexpr int kNothingRead = -110;

    explicit ReadOptionsSnapshotJob(const QList<quint32>& optionIds, QObject* parent = nullptr);

    void execute(UsbDevice* device) override;
    QString resultMessage(int result) const override;

    // The ids asked for, in order: which of them came back tells how far the instrument's table goes.
    QList<quint32> optionIds() const { return m_ids; }

private:
    QList<quint32> m_ids;
};
