#include "ui/productionwidgetvectarisemitter.h"

#include "ui_productionwidgetvectarisemitter.h"

ProductionWidgetVectarisEmitter::ProductionWidgetVectarisEmitter(QWidget* parent)
    : DeviceWidget(parent), BaseLogger(QStringLiteral("ProductionWidgetControlUnit")),
      ui(std::make_unique<Ui::ProductionWidgetVectarisEmitter>())
{
    ui->setupUi(this);
}

ProductionWidgetVectarisEmitter::~ProductionWidgetVectarisEmitter() = default;

void ProductionWidgetVectarisEmitter::setDevice(BaseDevice* device)
{
    attachDevice(device);
}
