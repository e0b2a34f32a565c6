#include "ui/uipanelfactory.h"

#include "devices/basedevice.h"
#include "ui/productionwidgetcontrolunit.h"
#include "ui/productionwidgettymbrel.h"
#include "ui/productionwidgetupdateonly.h"
#include "ui/productionwidgetvectaris.h"
#include "ui/productionwidgetvectarisemitter.h"
#include "ui/servicewidgetcontrolunit.h"
#include "ui/servicewidgettymbrel.h"

UiPanelFactory::UiPanelFactory()
{
    const auto tymbrelProduction = [](QWidget* parent) { return new ProductionWidgetTymbrel(parent); };
    const auto tymbrelService = [](QWidget* parent) { return new ServiceWidgetTymbrel(parent); };
    for (const QString& kind : {QStringLiteral("TymbrelSensor"), QStringLiteral("TymbrelSensor2")}) {
        m_creators.insert(key(kind, Role::Production), tymbrelProduction);
        m_creators.insert(key(kind, Role::Service), tymbrelService);
    }
    m_creators.insert(key(QStringLiteral("ControlUnit"), Role::Production),
                      [](QWidget* parent) { return new ProductionWidgetControlUnit(parent); });
    for (const QString& kind : {QStringLiteral("VectarisSensor"), QStringLiteral("VectarisMiniAntenna")}) {
        m_creators.insert(key(kind, Role::Production),
                          [](QWidget* parent) { return new ProductionWidgetVectaris(parent); });
    }
    m_creators.insert(key(QStringLiteral("VectarisEmitter"), Role::Production),
                      [](QWidget* parent) { return new ProductionWidgetVectarisEmitter(parent); });
    m_creators.insert(key(QStringLiteral("UpdateOnly"), Role::Production),
                      [](QWidget* parent) { return new ProductionWidgetUpdateOnly(parent); });
    m_creators.insert(key(QStringLiteral("ControlUnit"), Role::Service),
                      [](QWidget* parent) { return new ServiceWidgetControlUnit(parent); });
}

QString UiPanelFactory::key(const QString& kind, Role role)
{
    return kind + (role == Role::Service ? QStringLiteral("/service") : QStringLiteral("/production"));
}

DevicePanelFactory::Panel UiPanelFactory::createPanel(BaseDevice* device, Role role, QWidget* parent)
{
    if (!device) {
        return {};
    }
    const Creator creator =
        m_creators.value(key(QString::fromLatin1(device->metaObject()->className()), role));
    if (!creator) {
        return {};
    }
    DeviceWidget* panel = creator(parent); // owned by `parent`, or by the page that places it
    panel->setDevice(device);
    return {panel, panel};
}

void UiPanelFactory::install()
{
    DevicePanelFactory::install(std::make_unique<UiPanelFactory>());
}
