#include "measurements/datasetexport.h"

#include "measurements/vectarisdatasetstocsv.h"
#include "measurements/vectarisdatasetstogpx.h"
#include "measurements/vectarisdatasetstokml.h"

#include <QSaveFile>
#include <QThread>
#include <QTimer>

namespace {

// Often enough for a bar to move smoothly, rarely enough to cost the watching thread nothing.
constexpr int kPollMs = 40;

qint64 pointCount(const QList<VectarisDataset>& datasets)
{
    qint64 count = 0;
    for (const VectarisDataset& dataset : datasets)
        count += dataset.points.size();
    return count;
}

} // namespace

DatasetExport::DatasetExport(const QList<VectarisDataset>& datasets, const QString& fileName, Format format,
                             QObject* parent)
    : QObject(parent), m_datasets(datasets), m_fileName(fileName), m_format(format),
      m_progress(pointCount(datasets)), m_poll(new QTimer(this))
{
    m_poll->setInterval(kPollMs);
    connect(m_poll, &QTimer::timeout, this, &DatasetExport::publishProgress);
}

DatasetExport::~DatasetExport()
{
    if (m_thread) {
        m_progress.cancel();
        m_thread->wait();
        delete m_thread;
    }
}

bool DatasetExport::isRunning() const
{
    return m_thread && m_thread->isRunning();
}

int DatasetExport::write(const QList<VectarisDataset>& datasets, const QString& fileName, Format format,
                         ExportProgress* progress, QString* reason)
{
    QSaveFile file(fileName);
    bool written = file.open(QIODevice::WriteOnly);
    if (written) {
        switch (format) {
        case Format::Kml:
            written = VectarisDatasetsToKml(datasets, &file, progress);
            break;
        case Format::Gpx:
            written = VectarisDatasetsToGpx(datasets, &file, progress);
            break;
        case Format::Csv:
            written = VectarisDatasetsToCsv(datasets, &file, progress);
            break;
        }
    }
    // The last batch, and the last moment a cancel still counts: after the commit the file is there.
    if (progress && !progress->publish()) {
        file.cancelWriting();
        return Cancelled;
    }
    if (written && file.commit())
        return Written;
    if (reason)
        *reason = file.errorString();
    return Failed;
}

void DatasetExport::start()
{
    if (m_thread)
        return;
    m_thread = QThread::create(
        [this] { m_result = write(m_datasets, m_fileName, m_format, &m_progress, &m_reason); });
    m_thread->setObjectName(QStringLiteral("DatasetExport"));
    connect(m_thread, &QThread::finished, this, &DatasetExport::onThreadFinished);
    m_poll->start();
    m_thread->start();
}

void DatasetExport::cancel()
{
    m_progress.cancel();
}

void DatasetExport::publishProgress()
{
    const qint64 done = m_progress.done();
    if (done == m_shown)
        return;
    m_shown = done;
    emit progressChanged(done, m_progress.total());
}

void DatasetExport::onThreadFinished()
{
    m_poll->stop();
    publishProgress();
    emit finished(m_result, m_reason);
}
