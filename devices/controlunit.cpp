#include "devices/controlunit.h"

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

Operation* ControlUnit::updateDataSets()
{
    auto* job = new ReadDataSetsJob();
    return post(job, Operation::Kind::ReadDatasets, {}, [this, job](Operation& operation) {
        if (job->result() == 0) {
            operation.setDatasets(job->datasets());
            emit datasetsChanged(job->datasets());
        }
    });
}

Operation* ControlUnit::removeDataSets()
{
    // The unit does not confirm a clear; only reading the store again shows what is left on it.
    return post(new ClearDataSetsJob(), Operation::Kind::ClearDatasets, {},
                [this](Operation& operation) { operation.setFollowUp(updateDataSets()); });
}
