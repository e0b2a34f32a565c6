#pragma once

class BaseDevice;

// A page of the main window that shows the connected instrument. The window hands every page the
// device in one order when it connects, and null when it goes; a page follows the device it was handed
// (not owned) until then.
class DevicePage
{
public:
    virtual ~DevicePage();

    virtual void setDevice(BaseDevice* device) = 0;
    // Whether the page has anything for `device`: the window hands it only such a device and shows its
    // sidebar button only then.
    virtual bool serves(const BaseDevice* device) const;

    // True (and said in the device's log) while `device` still works on an earlier request: the pages
    // and their dialogs ignore a request then, so that a double click does not queue the same job twice.
    static bool ignoredWhileBusy(const BaseDevice* device);
};
