#pragma once

#include "core/baselogger.h"

#include <QObject>
#include <QString>

struct libusb_device;
class AbstractJob;
class UsbDevice;

// Lives on a device's worker thread: creates and owns the instrument's transport there and runs the
// jobs it is handed, one at a time, in posting order (the thread's event queue is the job queue).
//
// Ownership: the libusb reference handed to the constructor is the worker's; it is released in the
// destructor, after the transport (a child) is gone. The worker never deletes, inspects or retries a
// job: non-quiet jobs go back with jobFinished, quiet jobs stay with their parent.
class Worker : public QObject, public BaseLogger
{
    Q_OBJECT

public:
    // `device` carries a reference taken for this worker (libusb_ref_device).
    Worker(libusb_device* device, const QString& name, QObject* parent = nullptr);
    ~Worker() override;

    // Workers alive in the process (diagnostics and leak tests).
    static int liveCount();

signals:
    void jobStartded();
    void jobFinished(AbstractJob* job);
    // A running job's progress, at most one report per ProgressThrottle interval but its first, last
    // and every new text; `job` tells its device which operation it belongs to.
    void jobProgressChanged(AbstractJob* job, QString name, int value, int maximum, QString message);
    void deviceConnected();
    void deviceDisconnected();
    // The transport could not be opened: `step` is the libusb call that failed ("libusb_claim_interface"),
    // `error` its libusb code. Neither deviceConnected nor deviceDisconnected follows.
    void deviceOpenFailed(QString step, int error);

public slots:
    // Runs `job` on this thread. While the transport is not open the job gets a null transport and
    // fails early, so that jobs queued behind an unplug finish quickly instead of touching a closed handle.
    void executeJob(AbstractJob* job);
    // First slot run on the new thread: creates the transport and opens it.
    void init();

private slots:
    void onTransportReady();
    void onTransportDisconnected();

private:
    // Repeats the open steps on a fresh handle to learn which one fails; releases everything again.
    // Returns the failed step and its code, or an empty step when all of them worked this time.
    QString diagnoseOpenFailure(int* error);

    UsbDevice* m_usbDevice = nullptr; // child of this worker
    libusb_device* m_device = nullptr;
    QString m_name;
    bool m_open = false;
};
