#include "ui/productionwidgetupdateonly.h"

#include "ui_productionwidgetupdateonly.h"

ProductionWidgetUpdateOnly::ProductionWidgetUpdateOnly(QWidget* parent)
    : DeviceWidget(parent), BaseLogger(QStringLiteral("ProductionWidgetUpdateOnly")),
      ui(std::make_unique<Ui::ProductionWidgetUpdateOnly>())
{
    ui->setupUi(this);
}

ProductionWidgetUpdateOnly::~ProductionWidgetUpdateOnly() = default;

void ProductionWidgetUpdateOnly::setDevice(BaseDevice* device)
{
    attachDevice(device);
}
