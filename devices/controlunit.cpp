#include "devices/controlunit.h"

#include "devices/jobs/cleardatasetsjob.h"
#include "devices/jobs/readdatasetsjob.h"
#include "options/storageidcatalogue.h"

ControlUnit::ControlUnit(libusb_device* device, QObject* parent)
    : BaseDevice(QString::fromLatin1(QT_TRANSLATE_NOOP("BaseDevice", "Control Unit")), device, parent)
{
}

ControlUnit::~ControlUnit() = default;

QString ControlUnit::picture() const
{
    return QStringLiteral(":/images/controlunit.png");
}

quint32 ControlUnit::usbId() const
{
    return 0x1E843000;
}

QString ControlUnit::kindKey() const
{
    return QStringLiteral("control-unit");
}

StorageIdCatalogue::Family ControlUnit::optionFamily() const
{
    return StorageIdCatalogue::Family::ControlUnit;
}

DeviceWidget* ControlUnit::productionWidget(QWidget* parent)
{
    return panel(DevicePanelFactory::Role::Production, parent);
}

DeviceWidget* ControlUnit::serviceWidget(QWidget* parent)
{
    return panel(DevicePanelFactory::Role::Service, parent);
}

void ControlUnit::readDeviceOptions()
{
    const QList<quint32> ids = optionIds();
    if (!ids.isEmpty()) {
        readMultipleDeviceOptions(ids);
    }
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
