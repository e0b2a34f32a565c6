#include "ui/developwidget.h"

#include "devices/basedevice.h"

DevelopWidget::DevelopWidget(QWidget* parent) : QWidget(parent), BaseLogger(QStringLiteral("DevelopWidget"))
{
    setObjectName(QStringLiteral("developWidget"));
}

DevelopWidget::~DevelopWidget() = default;

void DevelopWidget::setDevice(BaseDevice* device)
{
    m_device = device;
}

BaseDevice* DevelopWidget::device() const
{
    return m_device;
}
