#pragma once

#include "core/baselogger.h"
#include "ui/devicewidget.h"

#include <memory>

namespace Ui {
class ServiceWidgetControlUnit;
}
class LanguagesWidgetControlUnit;

// Service panel of the control unit: the menu languages the unit offers and a button that sends the
// selection (the unit stores it and reboots). The button is enabled only once the unit has reported
// all its language options, and an empty selection is refused: a failed read must never become a
// selection of nothing written to the unit.
class ServiceWidgetControlUnit : public DeviceWidget, public BaseLogger
{
    Q_OBJECT

public:
    explicit ServiceWidgetControlUnit(QWidget* parent = nullptr);
    ~ServiceWidgetControlUnit() override;

    void setDevice(BaseDevice* device) override;
    void setDeviceConnected(bool connected) override;
    void onDeviceConnected() override { setDeviceConnected(true); }
    void onDeviceDisconnected() override { setDeviceConnected(false); }

    LanguagesWidgetControlUnit* languages() const;

private slots:
    void onDeviceOptionChanged(uint optionId, QByteArray value) override;
    void onApplyClicked();

private:
    std::unique_ptr<Ui::ServiceWidgetControlUnit> ui;
};
