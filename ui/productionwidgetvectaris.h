#pragma once

#include "core/baselogger.h"
#include "ui/devicewidget.h"

#include <QMap>
#include <QString>

#include <memory>

namespace Ui {
class ProductionWidgetVectaris;
}
class QLineEdit;

// Production panel of the locator sensor and the mini antenna: one row per key of the locator's option
// table (all 34, obsolete ones included) showing the stored frequency calibration record.
class ProductionWidgetVectaris : public DeviceWidget, public BaseLogger
{
    Q_OBJECT

public:
    explicit ProductionWidgetVectaris(QWidget* parent = nullptr);
    ~ProductionWidgetVectaris() override;

    void setDevice(BaseDevice* device) override;
    void setDeviceConnected(bool) override {}
    void onDeviceConnected() override { setDeviceConnected(true); }
    void onDeviceDisconnected() override { setDeviceConnected(false); }

    // A calibration record as the panel shows it: six singles and the trailing integer, "; "-joined;
    // empty for a value shorter than the 32-byte record.
    static QString recordText(const QByteArray& value);

public slots:
    void onDeviceOptionChanged(uint optionId, QByteArray value) override;

private:
    std::unique_ptr<Ui::ProductionWidgetVectaris> ui;
    QMap<quint32, QLineEdit*> calibrationFields;
};
