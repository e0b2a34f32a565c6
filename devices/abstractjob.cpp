#include "devices/abstractjob.h"

#include <QThread>

#include <libusb.h>

#include <atomic>

namespace {
std::atomic<int> g_liveJobs{0};
} // namespace

AbstractJob::AbstractJob(const QString& name, QObject* parent)
    : QObject(parent), BaseLogger(name), m_id(QUuid::createUuid()), m_name(name)
{
    ++g_liveJobs;
}

AbstractJob::~AbstractJob()
{
    --g_liveJobs;
}

int AbstractJob::liveCount()
{
    return g_liveJobs.load();
}

QString AbstractJob::resultMessage(int /*result*/) const
{
    return QString();
}

bool AbstractJob::isQuiet() const
{
    return false;
}

bool AbstractJob::stopRequested()
{
    static_assert(kStopped == LIBUSB_ERROR_INTERRUPTED, "a stopped job reads as an interrupted transfer");
    return QThread::currentThread()->isInterruptionRequested();
}

QString AbstractJob::latin1Text(const QByteArray& bytes)
{
    const int end = bytes.indexOf('\0');
    return QString::fromLatin1(end < 0 ? bytes : bytes.left(end));
}
