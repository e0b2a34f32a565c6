#include "app/cli/devicewatch.h"

#include "core/englishscope.h"

#include "app/cli/cliconsole.h"
#include "app/cli/eventwait.h"
#include "devices/basedevice.h"
#include "devices/operation.h"

DeviceWatch::DeviceWatch(BaseDevice* device, CliConsole& console, QObject* parent)
    : QObject(parent), m_device(device), m_console(console), m_wait(new EventWait(this))
{
    if (!device) {
        m_gone = true;
        return;
    }
    connect(device, &BaseDevice::operationStarted, this, &DeviceWatch::follow);
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

void DeviceWatch::follow(Operation* operation)
{
    const quint64 serial = operation->serial();
    connect(operation, &Operation::progress, this, [this, serial](int value, int maximum, QString message) {
        if (serial == m_progressSerial) {
            m_console.progress(message.isEmpty() ? m_progressMessage : message, value, maximum);
        }
    });
    connect(operation, &Operation::finished, this, [this, operation, serial](int result, QString message) {
        Outcome outcome;
        outcome.cameBack = true;
        outcome.result = result;
        outcome.message =
            CliText::inBoth(EnglishScope::english([operation] { return operation->message(); }), message);
        outcome.followUp = operation->followUp() ? operation->followUp()->serial() : 0;
        outcome.logText = operation->logText();
        outcome.datasets = operation->datasets();
        outcome.snapshot = operation->snapshot();
        outcome.switchingPoint = operation->switchingPoint();
        m_finished.insert(serial, outcome);
        m_wait->wake();
    });
}

void DeviceWatch::showProgress(const Operation* operation, const QString& message)
{
    m_progressSerial = operation ? operation->serial() : 0;
    m_progressMessage = message;
}

DeviceWatch::Outcome DeviceWatch::waitFor(const Operation* operation, int timeoutMs)
{
    return waitFor(operation ? operation->serial() : 0, timeoutMs);
}

DeviceWatch::Outcome DeviceWatch::waitFor(quint64 serial, int timeoutMs)
{
    if (serial != 0) {
        m_wait->until([&] { return m_finished.contains(serial) || m_gone; }, timeoutMs);
    }
    m_console.endProgress();
    return m_finished.take(serial);
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
