#pragma once

#include "core/baselogger.h"

#include <QPointer>
#include <QWidget>

class BaseDevice;

// Page "developWidget" of the main window's page stack. It follows the device it was handed (not owned)
// until it gets null; the main window does the handing over.
class DevelopWidget : public QWidget, public BaseLogger
{
    Q_OBJECT

public:
    explicit DevelopWidget(QWidget* parent = nullptr);
    ~DevelopWidget() override;

    void setDevice(BaseDevice* device);
    BaseDevice* device() const;

private:
    QPointer<BaseDevice> m_device;
};
