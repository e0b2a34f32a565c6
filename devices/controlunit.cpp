#include "devices/controlunit.h"

#include "devices/abstractjob.h"
#include "devices/jobs/cleardatasetsjob.h"
#include "devices/jobs/readdatasetsjob.h"

#include <QHash>

ControlUnit::ControlUnit(const InstrumentKind& kind, libusb_device* device, QObject* parent)
    : BaseDevice(kind, device, parent)
{
}

ControlUnit::ControlUnit(libusb_device* device, QObject* parent)
    : ControlUnit(*InstrumentKind::findKey(QStringLiteral("control-unit")), device, parent)
{
}

ControlUnit::~ControlUnit() = default;

void ControlUnit::handleJobFinished(AbstractJob* job)
{
    // Handlers of the jobs only a control unit posts, by job name. Every job that reaches this point is
    // deleted afterwards, with or without a handler.
    using Handler = void (ControlUnit::*)(AbstractJob*);
    static const QHash<QString, Handler> handlers{
        {QStringLiteral("ReadDataSetsJob"), &ControlUnit::handleReadDataSets},
        {QStringLiteral("ClearDataSetsJob"), &ControlUnit::handleClearDataSets}};
    const auto it = handlers.constFind(job->name());
    if (it != handlers.constEnd() && it.value()) {
        (this->*it.value())(job);
    }
    delete job;
}

void ControlUnit::optionsRead(const QList<quint32>& requested, const QHash<quint32, QByteArray>& values,
                              int result)
{
    // A read that failed says nothing about what the unit knows. One that ended early (result 0) ended
    // at an id the unit met with silence, as older firmware meets ids it does not know; the ids after
    // that one were never asked.
    if (result != 0) {
        return;
    }
    QSet<quint32> without = m_optionsWithoutValue;
    for (const quint32 id : requested) {
        const auto it = values.constFind(id);
        if (it == values.constEnd()) {
            without.insert(id);
            break;
        }
        if (it.value().isEmpty()) {
            without.insert(id);
        } else {
            without.remove(id);
        }
    }
    if (without != m_optionsWithoutValue) {
        m_optionsWithoutValue = without;
        emit optionsWithoutValueChanged(without);
    }
}

void ControlUnit::updateDataSets()
{
    postJob(new ReadDataSetsJob());
}

void ControlUnit::removeDataSets()
{
    postJob(new ClearDataSetsJob());
}

void ControlUnit::handleReadDataSets(AbstractJob* job)
{
    if (job->result() != 0) {
        return;
    }
    if (auto* read = qobject_cast<ReadDataSetsJob*>(job)) {
        emit datasetsChanged(read->datasets());
    }
}

void ControlUnit::handleClearDataSets(AbstractJob* /*job*/)
{
    // The unit does not confirm a clear; only reading the store again shows what is left on it.
    updateDataSets();
}
