#include "devices/worker.h"

#include "devices/abstractjob.h"
#include "devices/progressthrottle.h"
#include "usb/usbdevice.h"

#include <QElapsedTimer>
#include <QThread>

#include <libusb.h>

#include <atomic>

namespace {
std::atomic<int> g_liveWorkers{0};
} // namespace

int Worker::liveCount()
{
    return g_liveWorkers.load();
}

Worker::Worker(libusb_device* device, const QString& name, QObject* parent)
    : QObject(parent), BaseLogger(name + QStringLiteral(".Worker")), m_device(device), m_name(name)
{
    // Jobs travel to and from this worker in queued calls.
    static const int registered = qRegisterMetaType<AbstractJob*>("AbstractJob*");
    Q_UNUSED(registered);
    ++g_liveWorkers;
}

Worker::~Worker()
{
    // The transport must close before the device reference goes.
    delete m_usbDevice;
    m_usbDevice = nullptr;
    if (m_device) {
        libusb_unref_device(m_device);
    }
    --g_liveWorkers;
}

void Worker::init()
{
    if (m_usbDevice) {
        return;
    }
    m_usbDevice = new UsbDevice(m_device, m_name, false, this);
    connect(m_usbDevice, &UsbDevice::ready, this, &Worker::onTransportReady);
    connect(m_usbDevice, &UsbDevice::disconnected, this, &Worker::onTransportDisconnected);
    m_usbDevice->open();
    if (m_open) {
        return;
    }
    // The transport reports a failed open only in its log and emits nothing; find out what failed so
    // that the user can be told, instead of the instrument silently staying unusable.
    int error = LIBUSB_ERROR_OTHER;
    QString step = diagnoseOpenFailure(&error);
    if (step.isEmpty()) {
        m_usbDevice->open(); // the failure was transient: give the transport one more try
        if (m_open) {
            return;
        }
        step = QStringLiteral("open");
    }
    // The discovery writes the one error line per attempt, with the time of the next one.
    logger()->debug("Can't open {}: {} failed with {}", m_name, step, libusb_error_name(error));
    emit deviceOpenFailed(step, error);
}

QString Worker::diagnoseOpenFailure(int* error)
{
    if (!m_device) {
        *error = LIBUSB_ERROR_NO_DEVICE;
        return QStringLiteral("libusb_open");
    }
    libusb_device_handle* handle = nullptr;
    int rc = libusb_open(m_device, &handle);
    if (rc != 0 || !handle) {
        *error = rc != 0 ? rc : LIBUSB_ERROR_OTHER;
        return QStringLiteral("libusb_open");
    }
    QString failedStep;
    rc = libusb_set_configuration(handle, 1);
    if (rc != 0) {
        failedStep = QStringLiteral("libusb_set_configuration");
    } else {
        rc = libusb_claim_interface(handle, 0);
        if (rc != 0) {
            failedStep = QStringLiteral("libusb_claim_interface");
        } else {
            libusb_release_interface(handle, 0);
        }
    }
    libusb_close(handle);
    *error = rc;
    return failedStep;
}

void Worker::onTransportReady()
{
    m_open = true;
    emit deviceConnected();
}

void Worker::onTransportDisconnected()
{
    m_open = false;
    emit deviceDisconnected();
}

void Worker::executeJob(AbstractJob* job)
{
    if (!job) {
        logger()->error("Job is null!");
        return;
    }
    const QString name = job->name();
    const QString id = job->id().toString();
    if (QThread::currentThread()->isInterruptionRequested()) {
        // The device is going: jobs still queued are not started (it deletes the loud ones itself,
        // quiet ones go with their parent).
        logger()->debug("Job {} {} not run: the device is going", name, id);
        return;
    }
    logger()->debug("Running job {} {}...", name, id);
    QElapsedTimer timer;
    timer.start();

    const bool quiet = job->isQuiet();
    QMetaObject::Connection progress;
    ProgressThrottle throttle([this, job, &name](int value, int maximum, const QString& message) {
        emit jobProgressChanged(job, name, value, maximum, message);
    });
    if (!quiet) {
        progress = connect(
            job, &AbstractJob::progressChanged, this,
            [&throttle](QString, int value, int maximum, QString message) {
                throttle.report(value, maximum, message);
            },
            Qt::DirectConnection);
        emit jobStartded();
    }

    job->execute(m_open ? m_usbDevice : nullptr);

    logger()->debug("Job {} {} finished with result {} ({}) after {}ms", name, id,
                    job->resultMessage(job->result()), job->result(), timer.elapsed());
    const bool failed = job->result() < 0;
    if (!quiet) {
        disconnect(progress);
        throttle.flush();
        // Ownership goes back to the device with this signal: the job is not touched after it.
        emit jobFinished(job);
    } else {
        // A quiet job is never handed back, and the touch monitor posts two of them a second: kept
        // until their device goes, they would pile up for as long as monitoring runs. The deletion is
        // queued on the job's own (GUI) thread behind the signals it emitted while it ran, so their
        // receivers still see them; a device destroyed first takes the job and this event with it.
        job->deleteLater();
    }
    if (failed && m_open) {
        // A failed job is often the first sign of an unplug: probe now rather than at the next
        // 2000 ms tick, so that the jobs queued behind it fail fast and the device is released.
        QMetaObject::invokeMethod(m_usbDevice, "refreshConnectionState", Qt::DirectConnection);
    }
}
