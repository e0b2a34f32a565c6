#pragma once

#include "core/baselogger.h"
#include "ui/devicewidget.h"

#include <memory>

namespace Ui {
class ProductionWidgetUpdateOnly;
}

// Production panel of the bare update-only board, which stores no options: the production page's firmware
// buttons are all it needs.
class ProductionWidgetUpdateOnly : public DeviceWidget, public BaseLogger
{
    Q_OBJECT

public:
    explicit ProductionWidgetUpdateOnly(QWidget* parent = nullptr);
    ~ProductionWidgetUpdateOnly() override;

    void setDevice(BaseDevice* device) override;
    void setDeviceConnected(bool) override {}
    void onDeviceConnected() override { setDeviceConnected(true); }
    void onDeviceDisconnected() override { setDeviceConnected(false); }

public slots:
    void onDeviceOptionChanged(uint, QByteArray) override {}

private:
    std::unique_ptr<Ui::ProductionWidgetUpdateOnly> ui;
};
