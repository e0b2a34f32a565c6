#pragma once

#include "core/baselogger.h"
#include "ui/devicewidget.h"

#include <memory>

namespace Ui {
class ProductionWidgetVectarisEmitter;
}

// Production panel of the emitter: its board needs nothing beyond the production page's general part.
class ProductionWidgetVectarisEmitter : public DeviceWidget, public BaseLogger
{
    Q_OBJECT

public:
    explicit ProductionWidgetVectarisEmitter(QWidget* parent = nullptr);
    ~ProductionWidgetVectarisEmitter() override;

    void setDevice(BaseDevice* device) override;
    void setDeviceConnected(bool) override {}
    void onDeviceConnected() override { setDeviceConnected(true); }
    void onDeviceDisconnected() override { setDeviceConnected(false); }

public slots:
    void onDeviceOptionChanged(uint, QByteArray) override {}

private:
    std::unique_ptr<Ui::ProductionWidgetVectarisEmitter> ui;
};
