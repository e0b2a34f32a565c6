#pragma once

#include "core/baselogger.h"

#include <QObject>
#include <QString>
#include <QUuid>

class UsbDevice;

// One operation on an instrument (read the identity, set an option, calibrate, ...), with its inputs,
// its outputs and an integer result.
//
// Result convention: 0 success; negative failure (libusb codes pass through unchanged, job-specific
// codes are small negative numbers); positive finished with a warning.
//
// Life cycle and threads: a job is created on the user-interface thread, posted to its device's worker
// (BaseDevice::post), executed once on the worker thread, handed back with Worker::jobFinished, completed
// through the Operation it was posted with and deleted by the device. Between posting and its return only the
// worker thread touches it; outputs are read by the device after it came back. Quiet jobs are not handed
// back: they belong to their parent.
class AbstractJob : public QObject, public BaseLogger
{
    Q_OBJECT

public:
    // `name` is the concrete class's name; it names the logger and the job in log lines. Results are
    // never routed by it: the device binds each job's completion when it posts it.
    explicit AbstractJob(const QString& name, QObject* parent = nullptr);
    ~AbstractJob() override;

    // Job objects alive in the process (diagnostics and leak tests).
    static int liveCount();

    QUuid id() const { return m_id; }
    QString name() const { return m_name; }
    int result() const { return m_result; }
    void setResult(int result) { m_result = result; }

public slots:
    // Runs the whole operation synchronously on the worker thread. `device` is the open transport, or
    // null when the instrument is not open; every job then fails early with a negative result.
    virtual void execute(UsbDevice* device) = 0;
    // Text for the user for a result code; empty when the code needs no notification.
    virtual QString resultMessage(int result) const;
    // A quiet job runs without busy/idle, without progress forwarding and is not handed back.
    virtual bool isQuiet() const;

protected:
    // True once the job should stop between two packets: its device is going (unplugged or the tool
    // shuts down) and waits for this job before it can be released. Jobs that exchange many packets
    // ask between them; a job that stops ends with kStopped.
    static bool stopRequested();
    static constexpr int kStopped = -10; // LIBUSB_ERROR_INTERRUPTED

    // Bytes from the instrument as text: Latin-1, cut at the first NUL.
    static QString latin1Text(const QByteArray& bytes);

signals:
    void progressChanged(QString name, int value, int maximum = -1, QString message = QString());

private:
    QUuid m_id;
    int m_result = 0;
    QString m_name;
};
