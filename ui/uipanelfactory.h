#pragma once

#include "devices/devicepanelfactory.h"

#include <QHash>
#include <QString>

#include <functional>

// The user interface's panels for the device kinds, keyed by the kind's class name and role. Installed
// at start-up (installUiPanelFactory) so that the kinds can hand out panels without the devices layer
// knowing any widget.
class UiPanelFactory : public DevicePanelFactory
{
public:
    UiPanelFactory();

    Panel createPanel(BaseDevice* device, Role role, QWidget* parent) override;

    // Installs a fresh UiPanelFactory as the process's panel factory.
    static void install();

private:
    using Creator = std::function<DeviceWidget*(QWidget* parent)>;
    static QString key(const QString& kind, Role role);

    QHash<QString, Creator> m_creators;
};
