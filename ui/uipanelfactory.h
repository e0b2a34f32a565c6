#pragma once

#include "devices/instrumentkind.h"

class BaseDevice;
class DeviceWidget;
class QObject;
class QWidget;

// The production and service panels of the device kinds, as the kind table names them. A panel is made
// on first request for a device and kept while it lives, so that a page asking again gets the same one;
// a panel still kept when its device goes is deleted with it. GUI thread only.
class UiPanelFactory
{
public:
    enum class Role
    {
        Production,
        Service
    };

    // The `role` panel of `device`: the one kept, otherwise a new one with `parent`, already handed the
    // device. Null when the kind has no such panel.
    static DeviceWidget* panel(BaseDevice* device, Role role, QWidget* parent);
    // A page lets `panel` go (it deletes it): the next request makes a fresh one. Unknown panels and
    // repeated calls are ignored.
    static void release(const QObject* panel);
    // A new `role` panel of that name, not yet handed a device; null where there is none.
    static DeviceWidget* create(InstrumentKind::Panel panel, Role role, QWidget* parent);
};
