#include "ui/productionwidgetvectaris.h"

#include "devices/basedevice.h"
#include "options/storageidcatalogue.h"
#include "options/storageids_vectarisunit.h"
#include "ui_productionwidgetvectaris.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QLocale>
#include <QtEndian>

#include <cstring>

namespace {
constexpr int kRecordSize = 32;
} // namespace

ProductionWidgetVectaris::ProductionWidgetVectaris(QWidget* parent)
    : DeviceWidget(parent), BaseLogger(QStringLiteral("ProductionWidgetVectaris")),
      ui(std::make_unique<Ui::ProductionWidgetVectaris>())
{
    ui->setupUi(this);
}

ProductionWidgetVectaris::~ProductionWidgetVectaris() = default;

void ProductionWidgetVectaris::setDevice(BaseDevice* device)
{
    if (device && device == this->device()) {
        return;
    }
    attachDevice(device);
    for (QLineEdit* field : qAsConst(calibrationFields)) {
        field->clear();
    }
    if (!device) {
        return;
    }
    if (calibrationFields.isEmpty()) {
        auto* form = new QFormLayout(ui->widgetFrequencyCalibration);
        const QMetaObject& table = StorageIDs_VectarisUnit::staticMetaObject;
        for (quint32 id : StorageIdCatalogue::ids(table, "Options")) {
            auto* field = new QLineEdit(ui->widgetFrequencyCalibration);
            field->setReadOnly(true);
            form->addRow(StorageIdCatalogue::keyName(table, "Options", id), field);
            calibrationFields.insert(id, field);
        }
        // Every row at once: the page scrolls, a list inside it that showed two rows at a time did not serve.
        const int frame = 2 * ui->scrollArea->frameWidth();
        ui->scrollArea->setMinimumHeight(ui->widgetFrequencyCalibration->sizeHint().height() + frame);
    }
    for (auto it = calibrationFields.constBegin(); it != calibrationFields.constEnd(); ++it) {
        if (device->hasDeviceOption(it.key())) {
            onDeviceOptionChanged(it.key(), device->deviceOption(it.key()));
        }
    }
}

QString ProductionWidgetVectaris::recordText(const QByteArray& value)
{
    // A short answer shows nothing rather than numbers made of bytes that were never sent.
    if (value.size() < kRecordSize) {
        return QString();
    }
    QStringList parts;
    for (int i = 0; i < 6; ++i) {
        const quint32 bits = qFromLittleEndian<quint32>(value.constData() + 4 + 4 * i);
        float single = 0;
        std::memcpy(&single, &bits, sizeof single);
        parts << QLocale().toString(double(single), 'g', 6);
    }
    parts << QString::number(qFromLittleEndian<qint32>(value.constData() + 28));
    return parts.join(QStringLiteral("; "));
}

void ProductionWidgetVectaris::onDeviceOptionChanged(uint optionId, QByteArray value)
{
    if (QLineEdit* field = calibrationFields.value(optionId)) {
        field->setText(recordText(value));
    }
}
