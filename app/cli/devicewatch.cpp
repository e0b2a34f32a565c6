#include "app/cli/devicewatch.h"

#include "app/cli/cliconsole.h"
#include "app/cli/eventwait.h"
#include "devices/basedevice.h"

DeviceWatch::DeviceWatch(BaseDevice* device, CliConsole& console, QObject* parent)
    : QObject(parent), m_device(device), m_console(console), m_wait(new EventWait(this))
{
    if (!device) {
        m_gone = true;
        return;
    }
    connect(device, &BaseDevice::jobResult, this, [this](QString name, int result, QString message) {
        m_finished.append({name, result, message});
        m_wait->wake();
    });
    connect(device, &BaseDevice::progressChanged, this,
            [this](QString name, int value, int maximum, QString message) {
                if (!m_progressJob.isEmpty() && name == m_progressJob) {
                    m_console.progress(message.isEmpty() ? m_progressMessage : message, value, maximum);
                }
            });
    connect(device, &BaseDevice::disconnected, this, [this] {
        m_gone = true;
        m_wait->wake();
    });
    connect(device, &QObject::destroyed, this, [this] {
        m_gone = true;
        m_wait->wake();
    });
}

BaseDevice* DeviceWatch::device() const
{
    return m_device;
}

void DeviceWatch::showProgress(const QString& jobName, const QString& message)
{
    m_progressJob = jobName;
    m_progressMessage = message;
}

DeviceWatch::Outcome DeviceWatch::waitForJob(const QString& jobName, int timeoutMs)
{
    auto index = [&] {
        for (int i = 0; i < m_finished.size(); ++i) {
            if (m_finished.at(i).name == jobName) {
                return i;
            }
        }
        return -1;
    };
    m_wait->until([&] { return index() >= 0 || m_gone; }, timeoutMs);
    m_console.endProgress();
    const int found = index();
    Outcome outcome;
    if (found >= 0) {
        const Finished finished = m_finished.takeAt(found);
        outcome.cameBack = true;
        outcome.result = finished.result;
        outcome.message = finished.message;
    }
    return outcome;
}

bool DeviceWatch::waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    m_wait->until([&] { return done() || m_gone; }, timeoutMs);
    return done();
}

void DeviceWatch::wake()
{
    m_wait->wake();
}
