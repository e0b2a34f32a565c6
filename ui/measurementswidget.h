#pragma once

#include "core/baselogger.h"

#include <QPointer>
#include <QWidget>

class ControlUnit;

// Page "measurementsWidget" of the main window's page stack. It follows the device it was handed (not owned)
// until it gets null; the main window does the handing over.
class MeasurementsWidget : public QWidget, public BaseLogger
{
    Q_OBJECT

public:
    explicit MeasurementsWidget(QWidget* parent = nullptr);
    ~MeasurementsWidget() override;

    void setDevice(ControlUnit* device);
    ControlUnit* device() const;

private:
    QPointer<ControlUnit> m_device;
};
