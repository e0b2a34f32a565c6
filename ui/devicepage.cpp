#include "ui/devicepage.h"

#include "devices/basedevice.h"

DevicePage::~DevicePage() = default;

bool DevicePage::serves(const BaseDevice* device) const
{
    return device != nullptr;
}

bool DevicePage::ignoredWhileBusy(const BaseDevice* device)
{
    if (!device || device->pendingJobCount() == 0) {
        return false;
    }
    device->logger()->info("Request ignored: the device is still busy");
    return true;
}
