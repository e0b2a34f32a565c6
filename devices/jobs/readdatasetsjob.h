#pragma once

#include "devices/abstractjob.h"
#include "measurements/vectarisdataset.h"

#include <QList>

// Fetches the control unit's whole dataset store: [278][1026], then a stream of raw packets ended by
// the 4-byte packet [279] or by an empty packet, each within 250 ms of the previous one (the first
// within 10 s). The image is parsed and converted into series (measurements/README.md).
//
// Result: 0 with the series (none when the unit sent no answer at all within 10 s or an empty store);
// otherwise the libusb code of the failed transfer and no series. Runs on the worker thread; datasets()
// is read after the job came back.
class ReadDataSetsJob : public AbstractJob
{
    Q_OBJECT

public:
    explicit ReadDataSetsJob(QObject* parent = nullptr);

    void execute(UsbDevice* device) override;
    // Only a failure is worth a notification: the series themselves show on the page.
    QString resultMessage(int result) const override;

    QList<VectarisDataset> datasets() const { return m_datasets; }

private:
    QList<VectarisDataset> m_datasets;
};
