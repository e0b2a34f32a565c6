#include "ui/productionwidgetcontrolunit.h"

#include "devices/basedevice.h"
#include "options/storageidcatalogue.h"
#include "options/storageids_general.h"
#include "ui/devicepage.h"
#include "ui/languageswidgetcontrolunit.h"
#include "ui/snapshotfirst.h"
#include "ui_productionwidgetcontrolunit.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QtEndian>

#include <cstring>

namespace {
constexpr quint32 kActivityTimeout = 0x20000010;
constexpr quint32 kMaxReboots = 0x20000012;
constexpr quint32 kSheathFaultCh1 = 0x20000013;
constexpr quint32 kSheathFaultCh2 = 0x20000014;
constexpr quint32 kBnrThreshold = 0x20000016;
constexpr quint32 kBnrMax = 0x20000017;

constexpr quint32 kControlUnitUsbId = 0x1E843000;
constexpr quint32 kAcousticSensorUsbId = 0x1E843001;
constexpr quint32 kLocatorSensorUsbId = 0x29520004;
constexpr quint32 kEmitterUsbId = 0x29520008;

QByteArray int32Bytes(qint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray singleBytes(float value)
{
    quint32 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    QByteArray bytes(4, '\0');
    qToLittleEndian(bits, bytes.data());
    return bytes;
}

float singleOf(const QByteArray& value)
{
    const quint32 bits = qFromLittleEndian<quint32>(value.constData());
    float single = 0;
    std::memcpy(&single, &bits, sizeof single);
    return single;
}
} // namespace

ProductionWidgetControlUnit::ProductionWidgetControlUnit(QWidget* parent)
    : DeviceWidget(parent), BaseLogger(QStringLiteral("ProductionWidgetControlUnit")),
      ui(std::make_unique<Ui::ProductionWidgetControlUnit>())
{
    ui->setupUi(this);
    connect(ui->pushButton, &QAbstractButton::clicked, this, &ProductionWidgetControlUnit::readAllParameters);
    connect(ui->btnWriteParameters, &QAbstractButton::clicked, this,
            &ProductionWidgetControlUnit::writeParameters);
    struct Box
    {
        QGroupBox* group;
        int columns;
        const char* text;
        quint32 id;
    };
    const Box boxes[] = {
        {ui->groupGeneral, 3, "QSR NT", 0x20000004},
        {ui->groupGeneral, 3, "tymbrel", 0x20000005},
        {ui->groupGeneral, 3, "Vectaris", 0x20000025},
        {ui->groupOptions, 1, QT_TR_NOOP("Bluetooth"), 0x20000028},
        {ui->groupOptions, 1, QT_TR_NOOP("Develop Mode"), 0x20000027},
        {ui->groupOptions, 1, QT_TR_NOOP("Screenshots"), 0x20000029},
        {ui->groupOptions, 1, QT_TR_NOOP("Demo Device"), 0x20000026},
        {ui->groupOptions, 1, QT_TR_NOOP("Background Noise Reduction"), 0x20000002},
        {ui->groupOptions, 1, QT_TR_NOOP("Touch Protector"), 0x20000006},
        {ui->groupOptions, 1, QT_TR_NOOP("Compass"), 0x20000007},
        {ui->groupOptions, 1, QT_TR_NOOP("Loudness Limiter"), 0x20000008},
    };
    for (const Box& b : boxes) {
        auto* grid = static_cast<QGridLayout*>(b.group->layout());
        auto* box = new QCheckBox(tr(b.text), b.group);
        const int n = grid->count();
        grid->addWidget(box, n / b.columns, n % b.columns);
        optionBoxes.insert(b.id, box);
    }
    connect(ui->groupParameters, &QGroupBox::toggled, ui->formWidget, &QWidget::setEnabled);
    for (const Parameter& p : parameters()) {
        if (auto* spin = qobject_cast<QSpinBox*>(p.field)) {
            connect(spin, QOverload<int>::of(&QSpinBox::valueChanged), this,
                    &ProductionWidgetControlUnit::updateWriteButton);
        } else if (auto* spin = qobject_cast<QDoubleSpinBox*>(p.field)) {
            connect(spin, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
                    &ProductionWidgetControlUnit::updateWriteButton);
        }
    }
    updateWriteButton();
}

ProductionWidgetControlUnit::~ProductionWidgetControlUnit() = default;

QList<quint32> ProductionWidgetControlUnit::parameterIds()
{
    return {kActivityTimeout, kMaxReboots, kBnrThreshold, kBnrMax, kSheathFaultCh1, kSheathFaultCh2};
}

QList<ProductionWidgetControlUnit::Parameter> ProductionWidgetControlUnit::parameters() const
{
    return {{kActivityTimeout, ui->spinActivityTimeout, false},
            {kMaxReboots, ui->spinMaxReboots, false},
            {kBnrThreshold, ui->doubleSpinBnrThreshold, true},
            {kBnrMax, ui->doubleSpinBnrMax, true},
            {kSheathFaultCh1, ui->doubleSpinSheathFaultCh1, true},
            {kSheathFaultCh2, ui->doubleSpinSheathFaultCh2, true}};
}

double ProductionWidgetControlUnit::fieldValue(const Parameter& p) const
{
    if (auto* spin = qobject_cast<QSpinBox*>(p.field)) {
        return spin->value();
    }
    return static_cast<QDoubleSpinBox*>(p.field)->value();
}

void ProductionWidgetControlUnit::setDevice(BaseDevice* device)
{
    if (device && device == this->device()) {
        return;
    }
    attachDevice(device);
    // What another unit reported says nothing about this one.
    ui->groupLanguages->forgetReports();
    m_reported.clear();
    m_shown.clear();
    for (QCheckBox* box : qAsConst(optionBoxes)) {
        box->setChecked(false);
    }
    updateWriteButton();
    if (!device) {
        return;
    }
    // Options read before the panel existed are in the device's cache already.
    QList<quint32> known = optionBoxes.keys() + parameterIds() + LanguagesWidgetControlUnit::languageIds();
    for (quint32 id : qAsConst(known)) {
        if (device->hasDeviceOption(id)) {
            onDeviceOptionChanged(id, device->deviceOption(id));
        }
    }
}

void ProductionWidgetControlUnit::onDeviceOptionChanged(uint optionId, QByteArray value)
{
    // Every fixed-width value is length-checked before it is decoded: a short answer is no value.
    const bool hasWord = value.size() >= 4;
    if (QCheckBox* box = optionBoxes.value(optionId)) {
        box->setChecked(hasWord && qFromLittleEndian<qint32>(value.constData()) != 0);
    }
    for (const Parameter& p : parameters()) {
        if (p.id != optionId) {
            continue;
        }
        if (!hasWord) {
            m_reported.remove(p.id);
            m_shown.remove(p.id);
            break;
        }
        m_reported.insert(p.id, value.left(4));
        if (auto* spin = qobject_cast<QSpinBox*>(p.field)) {
            spin->setValue(qFromLittleEndian<qint32>(value.constData()));
        } else {
            static_cast<QDoubleSpinBox*>(p.field)->setValue(double(singleOf(value)));
        }
        m_shown.insert(p.id, fieldValue(p));
        break;
    }
    updateWriteButton();
    ui->groupLanguages->onDeviceOptionChanged(optionId, value);
}

void ProductionWidgetControlUnit::updateWriteButton()
{
    ui->btnWriteParameters->setEnabled(m_reported.size() == parameters().size());
}

void ProductionWidgetControlUnit::writeParameters()
{
    BaseDevice* unit = device();
    if (!unit || m_reported.size() != parameters().size()) {
        return;
    }
    if (DevicePage::ignoredWhileBusy(unit)) {
        return;
    }
    QHash<quint32, QByteArray> values;
    for (const Parameter& p : parameters()) {
        const double shown = m_shown.value(p.id);
        const double now = fieldValue(p);
        if (now == shown) {
            values.insert(p.id, m_reported.value(p.id));
        } else if (p.isSingle) {
            values.insert(p.id, singleBytes(float(now)));
        } else {
            values.insert(p.id, int32Bytes(qint32(now)));
        }
    }
    SnapshotFirst::run(
        this, [this] { return device(); }, [this, values] { device()->sendDeviceOptions(values); });
}

void ProductionWidgetControlUnit::readAllParameters()
{
    BaseDevice* unit = device();
    if (!unit) {
        return;
    }
    using Family = StorageIdCatalogue::Family;
    QList<quint32> ids = StorageIdCatalogue::ids(StorageIDs_general::staticMetaObject, "Options");
    switch (unit->usbId()) {
    case kControlUnitUsbId:
    case kEmitterUsbId:
        ids = StorageIdCatalogue::deviceIds(Family::ControlUnit);
        break;
    case kAcousticSensorUsbId:
        ids = StorageIdCatalogue::deviceIds(Family::AcousticSensor);
        break;
    case kLocatorSensorUsbId:
        ids = StorageIdCatalogue::deviceIds(Family::LocatorSensor);
        break;
    default:
        break;
    }
    unit->readMultipleDeviceOptions(ids);
}
