#include "ui/uipanelfactory.h"

#include "devices/basedevice.h"
#include "ui/productionwidgetcontrolunit.h"
#include "ui/productionwidgettymbrel.h"
#include "ui/productionwidgetupdateonly.h"
#include "ui/productionwidgetvectaris.h"
#include "ui/productionwidgetvectarisemitter.h"
#include "ui/servicewidgetcontrolunit.h"
#include "ui/servicewidgettymbrel.h"

#include <QHash>
#include <QPointer>

namespace {
struct Kept
{
    QPointer<DeviceWidget> panels[2];
};

QHash<const BaseDevice*, Kept>& kept()
{
    static QHash<const BaseDevice*, Kept> byDevice;
    return byDevice;
}

int slot(UiPanelFactory::Role role)
{
    return role == UiPanelFactory::Role::Service ? 1 : 0;
}
} // namespace

DeviceWidget* UiPanelFactory::create(InstrumentKind::Panel panel, Role role, QWidget* parent)
{
    using Panel = InstrumentKind::Panel;
    if (role == Role::Service) {
        switch (panel) {
        case Panel::ControlUnit:
            return new ServiceWidgetControlUnit(parent);
        case Panel::AcousticSensor:
            return new ServiceWidgetTymbrel(parent);
        default:
            return nullptr;
        }
    }
    switch (panel) {
    case Panel::None:
        return nullptr;
    case Panel::ControlUnit:
        return new ProductionWidgetControlUnit(parent);
    case Panel::AcousticSensor:
        return new ProductionWidgetTymbrel(parent);
    case Panel::Locator:
        return new ProductionWidgetVectaris(parent);
    case Panel::Emitter:
        return new ProductionWidgetVectarisEmitter(parent);
    case Panel::UpdateOnly:
        return new ProductionWidgetUpdateOnly(parent);
    }
    return nullptr;
}

DeviceWidget* UiPanelFactory::panel(BaseDevice* device, Role role, QWidget* parent)
{
    if (!device) {
        return nullptr;
    }
    auto it = kept().find(device);
    if (it != kept().end() && it->panels[slot(role)]) {
        return it->panels[slot(role)];
    }
    const InstrumentKind& kind = device->kind();
    DeviceWidget* made =
        create(role == Role::Service ? kind.servicePanel : kind.productionPanel, role, parent);
    if (!made) {
        return nullptr;
    }
    made->setDevice(device);
    if (it == kept().end()) {
        it = kept().insert(device, Kept());
        // Panels still kept follow their device no longer and go with it; a page that still shows one
        // sees it vanish through its own QPointer.
        QObject::connect(device, &QObject::destroyed, [device] {
            const Kept left = kept().take(device);
            for (const QPointer<DeviceWidget>& panel : left.panels) {
                if (panel) {
                    panel->deleteLater();
                }
            }
        });
    }
    it->panels[slot(role)] = made;
    return made;
}

void UiPanelFactory::release(const QObject* panel)
{
    if (!panel) {
        return;
    }
    for (Kept& entry : kept()) {
        for (QPointer<DeviceWidget>& kept : entry.panels) {
            if (kept == panel) {
                kept = nullptr;
            }
        }
    }
}
