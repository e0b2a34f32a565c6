#include "devices/devicepanelfactory.h"

namespace {
std::unique_ptr<DevicePanelFactory>& installedFactory()
{
    static std::unique_ptr<DevicePanelFactory> factory;
    return factory;
}
} // namespace

DevicePanelFactory::~DevicePanelFactory() = default;

void DevicePanelFactory::install(std::unique_ptr<DevicePanelFactory> factory)
{
    installedFactory() = std::move(factory);
}

DevicePanelFactory* DevicePanelFactory::installed()
{
    return installedFactory().get();
}
