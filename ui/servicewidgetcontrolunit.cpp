#include "ui/servicewidgetcontrolunit.h"

#include "devices/controlunit.h"
#include "ui/languageswidgetcontrolunit.h"
#include "ui/snapshotfirst.h"
#include "ui_servicewidgetcontrolunit.h"

#include <QCheckBox>
#include <QtEndian>

ServiceWidgetControlUnit::ServiceWidgetControlUnit(QWidget* parent)
    : DeviceWidget(parent), BaseLogger(QStringLiteral("ServiceWidgetControlUnit")),
      ui(std::make_unique<Ui::ServiceWidgetControlUnit>())
{
    ui->setupUi(this);
    connect(ui->sendLanguagesToDevice, &QPushButton::clicked, this,
            &ServiceWidgetControlUnit::onApplyClicked);
    ui->groupLanguages->setEnabled(true);
    ui->groupLanguages->setTitle(QString());
    ui->groupLanguages->showTitle(true);
    ui->sendLanguagesToDevice->setEnabled(false);
    connect(ui->groupLanguages, &LanguagesWidgetControlUnit::allReportedChanged, ui->sendLanguagesToDevice,
            &QPushButton::setEnabled);
}

ServiceWidgetControlUnit::~ServiceWidgetControlUnit() = default;

LanguagesWidgetControlUnit* ServiceWidgetControlUnit::languages() const
{
    return ui->groupLanguages;
}

void ServiceWidgetControlUnit::setDevice(BaseDevice* device)
{
    if (device && device == this->device()) {
        return;
    }
    attachDevice(device);
    // What another unit reported says nothing about this one.
    ui->groupLanguages->forgetReports();
    if (!device) {
        return;
    }
    // Options read before the panel existed are in the device's cache already.
    for (quint32 id : LanguagesWidgetControlUnit::languageIds()) {
        if (device->hasDeviceOption(id)) {
            ui->groupLanguages->onDeviceOptionChanged(id, device->deviceOption(id));
        }
    }
    if (auto* unit = qobject_cast<ControlUnit*>(device)) {
        ui->groupLanguages->setUnknownIds(unit->optionsWithoutValue());
        connect(unit, &ControlUnit::optionsWithoutValueChanged, this,
                [this](const QSet<quint32>& ids) { ui->groupLanguages->setUnknownIds(ids); });
    }
}

void ServiceWidgetControlUnit::setDeviceConnected(bool) {}

void ServiceWidgetControlUnit::onDeviceOptionChanged(uint optionId, QByteArray value)
{
    ui->groupLanguages->onDeviceOptionChanged(optionId, value);
}

void ServiceWidgetControlUnit::onApplyClicked()
{
    BaseDevice* unit = device();
    if (!unit || !ui->groupLanguages->allReported()) {
        return;
    }
    // A second click before the first set came back would write and reboot twice.
    if (unit->pendingJobCount() > 0) {
        logger()->info("Language selection ignored: the unit is still busy");
        return;
    }
    QHash<quint32, QByteArray> options;
    bool any = false;
    // Only the languages the unit knows: it has no option for the others.
    for (quint32 id : ui->groupLanguages->knownIds()) {
        const bool ticked = ui->groupLanguages->isTicked(id);
        any = any || ticked;
        QByteArray value(4, '\0');
        qToLittleEndian<qint32>(ticked ? 1 : 0, value.data());
        options.insert(id, value);
    }
    if (!any) {
        logger()->warn("Empty language selection refused");
        unit->notifyUser(NotificationMessageType::Warning, tr("Select at least one language."));
        return;
    }
    SnapshotFirst::run(
        this, [this] { return device(); }, [this, options] { device()->sendDeviceOptions(options); });
}
