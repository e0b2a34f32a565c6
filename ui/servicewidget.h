#pragma once

#include "core/baselogger.h"

#include <QPointer>
#include <QWidget>

class BaseDevice;

// Page "serviceWidget" of the main window's page stack. It follows the device it was handed (not owned)
// until it gets null; the main window does the handing over.
class ServiceWidget : public QWidget, public BaseLogger
{
    Q_OBJECT

public:
    explicit ServiceWidget(QWidget* parent = nullptr);
    ~ServiceWidget() override;

    void setDevice(BaseDevice* device);
    BaseDevice* device() const;

private:
    QPointer<BaseDevice> m_device;
};
