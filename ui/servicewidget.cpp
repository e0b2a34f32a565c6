#include "ui/servicewidget.h"

#include "devices/basedevice.h"

ServiceWidget::ServiceWidget(QWidget* parent) : QWidget(parent), BaseLogger(QStringLiteral("ServiceWidget"))
{
    setObjectName(QStringLiteral("serviceWidget"));
}

ServiceWidget::~ServiceWidget() = default;

void ServiceWidget::setDevice(BaseDevice* device)
{
    m_device = device;
}

BaseDevice* ServiceWidget::device() const
{
    return m_device;
}
