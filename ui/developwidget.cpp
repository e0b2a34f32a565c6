#include "ui/developwidget.h"

#include "devices/basedevice.h"
#include "devices/tymbrelsensor.h"
#include "options/optionparser.h"
#include "options/optiontablemodel.h"
#include "options/storageidcatalogue.h"
#include "options/storageids_general.h"
#include "ui/devicepage.h"
#include "ui/optiontablecolours.h"
#include "ui/qjsonmodel.h"
#include "ui_developwidget.h"

#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLayout>

namespace {
constexpr quint32 kAcousticSensorUsbId = 0x1E843001;
constexpr quint32 kLocatorSensorUsbId = 0x29520004;
constexpr quint32 kControlUnitUsbId = 0x1E843000;
constexpr quint32 kEmitterUsbId = 0x29520008;

// Every id the kind's catalogue names, in the catalogue's order: what a full read asks for and the
// order the table shows its rows in.
QList<quint32> catalogueIds(StorageIdCatalogue::Family family)
{
    if (family == StorageIdCatalogue::Family::UpdateOnly) {
        return StorageIdCatalogue::ids(StorageIDs_general::staticMetaObject, "Options");
    }
    return StorageIdCatalogue::deviceIds(family);
}

void deleteChildLayouts(QLayout* layout)
{
    while (QLayoutItem* item = layout->takeAt(0)) {
        if (QLayout* child = item->layout()) {
            delete child; // a layout item that is a layout is the layout itself
        } else {
            delete item;
        }
    }
}
} // namespace

DevelopWidget::DevelopWidget(QWidget* parent)
    : QWidget(parent), BaseLogger(QStringLiteral("DevelopWidget")), ui(std::make_unique<Ui::DevelopWidget>()),
      m_table(new OptionTableModel(this)), m_json(new QJsonModel(this))
{
    ui->setupUi(this);
    connect(ui->writeOptionsButton, &QAbstractButton::clicked, this, &DevelopWidget::writeOptions);
    connect(ui->readJsonOptions, &QAbstractButton::clicked, this, &DevelopWidget::readJsonOptions);
    connect(ui->rebootDeviceButton, &QAbstractButton::clicked, this, &DevelopWidget::requestReboot);
    connect(ui->ReadAllOptionsButton, &QAbstractButton::clicked, this, &DevelopWidget::readAllOptions);
    connect(ui->cdcCalibrationButton, &QAbstractButton::clicked, this, &DevelopWidget::startCdcCalibration);
    setObjectName(QStringLiteral("developWidget"));
    ui->optionsTableView->setModel(new OptionTableColours(m_table, this));
    // Sizing the columns measures every cell: it is due once the table shows something new, and done
    // once after the whole batch of changes (a read's values, or those the device reported on
    // connecting), not per row.
    const auto resizeDue = [this] {
        if (!m_resizeDue) {
            m_resizeDue = true;
            QMetaObject::invokeMethod(this, &DevelopWidget::resizeColumns, Qt::QueuedConnection);
        }
    };
    connect(m_table, &QAbstractItemModel::dataChanged, this, resizeDue);
    connect(m_table, &QAbstractItemModel::rowsInserted, this, resizeDue);
    connect(m_table, &QAbstractItemModel::rowsRemoved, this, resizeDue);
    connect(m_table, &QAbstractItemModel::modelReset, this, resizeDue);
    ui->optionsTableView->horizontalHeader()->setStretchLastSection(true);
    ui->jsonTreeView->setModel(m_json);
    ui->jobStateLabel->clear();
    // Reading and setting single options has no entry fields yet.
    ui->readOptionButton->hide();
    ui->setOptionButton->hide();
}

DevelopWidget::~DevelopWidget() = default;

BaseDevice* DevelopWidget::device() const
{
    return m_device;
}

void DevelopWidget::setDevice(BaseDevice* device)
{
    if (device && device == m_device) {
        return;
    }
    if (m_device) {
        deviceDisconnected();
        disconnect(m_device, nullptr, this, nullptr);
        disconnect(this, nullptr, m_device, nullptr);
    }
    m_device = device;
    // What the previous device reported says nothing about this one.
    m_table->clear();
    m_table->setOrder(catalogueIds(familyOf(device)));
    m_requested.clear();
    m_answered.clear();
    m_read = nullptr;
    ui->jobStateLabel->clear();
    if (!device) {
        ui->optionsReadyWidget->setEnabled(false);
        return;
    }
    if (!device->isConnected()) {
        deleteChildLayouts(ui->deviceOptionsWidget->layout());
    }
    connect(device, &BaseDevice::disconnected, this, &DevelopWidget::deviceDisconnected);
    connect(device, &BaseDevice::connected, this, &DevelopWidget::deviceConnected);
    connect(device, &BaseDevice::deviceOptionChanged, this, &DevelopWidget::optionChanged);
    connect(this, &DevelopWidget::sendDeviceOptions, device, &BaseDevice::sendDeviceOptions);
    connect(this, &DevelopWidget::rebootDevice, device, &BaseDevice::rebootDevice);
    connect(this, &DevelopWidget::writeDeviceOptions, device, &BaseDevice::writeDeviceOptions);
    // The buttons act on the device the page serves; without one there is nothing to act on.
    ui->optionsReadyWidget->setEnabled(true);
}

StorageIdCatalogue::Family DevelopWidget::familyOf(const BaseDevice* device)
{
    using Family = StorageIdCatalogue::Family;
    switch (device ? device->usbId() : 0) {
    case kAcousticSensorUsbId:
        return Family::AcousticSensor;
    case kLocatorSensorUsbId:
        return Family::LocatorSensor;
    case kControlUnitUsbId:
    case kEmitterUsbId:
        return Family::ControlUnit;
    default:
        return Family::UpdateOnly;
    }
}

void DevelopWidget::readAllOptions()
{
    if (!m_device || DevicePage::ignoredWhileBusy(m_device)) {
        return;
    }
    const StorageIdCatalogue::Family family = familyOf(m_device);
    const QList<quint32> ids = catalogueIds(family);
    for (quint32 id : ids) {
        m_table->setOptionName(id, StorageIdCatalogue::name(family, id));
    }
    m_requested = ids;
    m_answered.clear();
    showReadState(false);
    followRead(m_device->readMultipleDeviceOptions(ids));
}

void DevelopWidget::optionChanged(uint optionId, QByteArray value)
{
    // Values the device reported on its own (the reads after it connected) are named as well.
    m_table->setOptionName(optionId, StorageIdCatalogue::name(familyOf(m_device), optionId));
    m_table->setOptionValue(optionId, value);
}

void DevelopWidget::followRead(Operation* read)
{
    // The progress window counts the options while they come in; the label gives the outcome. Counting
    // here as well would relayout and repaint the whole page on every report for a count nobody sees
    // behind that window.
    m_read = read;
    // The values are in the cache (and the table) by now.
    connect(read, &Operation::finished, this, [this, read] {
        if (read != m_read) {
            return;
        }
        m_read = nullptr;
        const QHash<quint32, QByteArray> values = read->values();
        for (const quint32 id : qAsConst(m_requested)) {
            if (values.contains(id)) {
                m_answered.insert(id);
            }
        }
        showReadState(true);
    });
}

void DevelopWidget::resizeColumns()
{
    if (m_resizeDue) {
        m_resizeDue = false;
        ui->optionsTableView->resizeColumnsToContents();
    }
}

void DevelopWidget::showReadState(bool finished)
{
    const int read = m_answered.size();
    const int asked = m_requested.size();
    if (!finished) {
        ui->jobStateLabel->setText(tr("Reading %1 options…").arg(asked));
    } else if (read < asked) {
        ui->jobStateLabel->setText(
            tr("%1 of %2 options read: the table is partial (the device stopped at an id it does not know)")
                .arg(read)
                .arg(asked));
    } else {
        ui->jobStateLabel->setText(tr("%1 of %2 options read").arg(read).arg(asked));
    }
}

void DevelopWidget::requestReboot()
{
    logger()->debug("initiating reboot on device {}", m_device ? m_device->name() : QString());
    if (DevicePage::ignoredWhileBusy(m_device)) {
        return;
    }
    emit rebootDevice();
}

void DevelopWidget::writeOptions()
{
    emit writeDeviceOptions(false);
}

void DevelopWidget::startCdcCalibration()
{
    auto* sensor = qobject_cast<TymbrelSensor*>(m_device.data());
    if (!sensor) {
        logger()->info("invalid device {}, Tymbrel Sensor needed", m_device ? m_device->name() : QString());
        return;
    }
    if (DevicePage::ignoredWhileBusy(m_device)) {
        return;
    }
    // One connection however often the button is pressed: one sweep per click.
    connect(this, &DevelopWidget::cdcCalibration, sensor, &TymbrelSensor::calibrateCdc, Qt::UniqueConnection);
    emit cdcCalibration(0, 0, 4095);
}

void DevelopWidget::readJsonOptions()
{
    auto* dialog =
        new QFileDialog(this, tr("Open Option Description File"), QString(), QStringLiteral("*.json"));
    dialog->setObjectName(QStringLiteral("openOptionDescriptionDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setWindowModality(Qt::WindowModal);
    const QPointer<BaseDevice> askedFor = m_device;
    connect(dialog, &QFileDialog::finished, this, [this, dialog, askedFor](int result) {
        const QStringList files = dialog->selectedFiles();
        if (result != QDialog::Accepted || files.isEmpty()) {
            return;
        }
        if (askedFor != m_device) {
            logger()->warn("The device changed while the file dialog was open; nothing was loaded");
            return;
        }
        loadJsonFile(files.first());
    });
    dialog->open();
}

void DevelopWidget::loadJsonFile(const QString& path)
{
    const QString revision = m_device ? m_device->hardwareRevision() : QString();
    const QString type = m_device ? m_device->deviceType() : QString();
    logger()->debug("filtering for hardware revision {} and device type {}", revision, type);
    const OptionParser parser(path, type, revision);
    m_json->loadDocument(parser.document());
    if (parser.document().isNull() || parser.document().isEmpty()) {
        ui->jobStateLabel->setText(tr("unable to load file %1").arg(QDir::toNativeSeparators(path)));
    }
    ui->jsonTreeView->expandToDepth(1);
    ui->jsonTreeView->resizeColumnToContents(0);
}

void DevelopWidget::deviceDisconnected()
{
    deleteChildLayouts(ui->deviceOptionsWidget->layout());
    const QList<QFileDialog*> dialogs = findChildren<QFileDialog*>();
    for (QFileDialog* dialog : dialogs) {
        dialog->reject();
    }
}
