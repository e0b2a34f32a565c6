#include "ui/productionwidget.h"

#include "devices/basedevice.h"

ProductionWidget::ProductionWidget(QWidget* parent)
    : QWidget(parent), BaseLogger(QStringLiteral("ProductionWidget"))
{
    setObjectName(QStringLiteral("productionWidget"));
}

ProductionWidget::~ProductionWidget() = default;

void ProductionWidget::setDevice(BaseDevice* device)
{
    m_device = device;
}

BaseDevice* ProductionWidget::device() const
{
    return m_device;
}
