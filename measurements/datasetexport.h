#pragma once

#include "measurements/exportprogress.h"
#include "measurements/vectarisdataset.h"

#include <QList>
#include <QObject>
#include <QString>

#include <memory>

class QThread;
class QTimer;

// Writes measurement series to a file on a thread of its own, so that a million points do not hold up
// the thread that shows them. The series are copied when the export is made (the copies share their
// data until one side changes it); nothing else is touched while it runs. The file goes through a
// QSaveFile: it appears, or replaces the one of that name, only when the whole document was written; a
// cancelled or failed export leaves the earlier file as it was and no temporary file.
class DatasetExport : public QObject
{
    Q_OBJECT

public:
    enum class Format
    {
        Kml,
        Gpx,
        Csv
    };
    // Result codes of finished().
    enum Result
    {
        Written = 0,
        Cancelled = 1,
        Failed = -1
    };

    DatasetExport(const QList<VectarisDataset>& datasets, const QString& fileName, Format format,
                  QObject* parent = nullptr);
    // Cancels a running export and waits for its thread.
    ~DatasetExport() override;

    QString fileName() const { return m_fileName; }
    Format format() const { return m_format; }
    // The points written so far out of all of them; read from any thread.
    ExportProgress& progress() { return m_progress; }
    bool isRunning() const;

    // The same export on the calling thread: a Result, and for Failed the reason in `reason`.
    static int write(const QList<VectarisDataset>& datasets, const QString& fileName, Format format,
                     ExportProgress* progress, QString* reason);

public slots:
    // Starts the thread; once only.
    void start();
    // Stops the export at its next batch of points; finished() then reports Cancelled, unless the file
    // was already complete.
    void cancel();

signals:
    // Every few dozen milliseconds while it runs, and once more at the end.
    void progressChanged(qint64 done, qint64 total);
    // `reason` is the file system's word for a failure (empty otherwise).
    void finished(int result, const QString& reason);

private:
    void publishProgress();
    void onThreadFinished();

    const QList<VectarisDataset> m_datasets;
    const QString m_fileName;
    const Format m_format;
    ExportProgress m_progress;
    QThread* m_thread = nullptr;
    QTimer* m_poll;
    qint64 m_shown = -1;
    // Written by the thread, read once it has finished.
    int m_result = Failed;
    QString m_reason;
};
