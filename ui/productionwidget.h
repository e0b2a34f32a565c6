#pragma once

#include "core/baselogger.h"

#include <QPointer>
#include <QWidget>

class BaseDevice;

// Page "productionWidget" of the main window's page stack. It follows the device it was handed (not owned)
// until it gets null; the main window does the handing over.
class ProductionWidget : public QWidget, public BaseLogger
{
    Q_OBJECT

public:
    explicit ProductionWidget(QWidget* parent = nullptr);
    ~ProductionWidget() override;

    void setDevice(BaseDevice* device);
    BaseDevice* device() const;

private:
    QPointer<BaseDevice> m_device;
};
