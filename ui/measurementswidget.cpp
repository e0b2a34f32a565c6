#include "ui/measurementswidget.h"

#include "devices/controlunit.h"

MeasurementsWidget::MeasurementsWidget(QWidget* parent)
    : QWidget(parent), BaseLogger(QStringLiteral("MeasurementsWidget"))
{
    setObjectName(QStringLiteral("measurementsWidget"));
}

MeasurementsWidget::~MeasurementsWidget() = default;

void MeasurementsWidget::setDevice(ControlUnit* device)
{
    m_device = device;
}

ControlUnit* MeasurementsWidget::device() const
{
    return m_device;
}
