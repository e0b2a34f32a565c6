#pragma once

#include "devices/basedevice.h"

// A kind with no behaviour of its own (the Vectaris sensor, mini antenna and emitter, the update-only
// board): everything it is comes from its row in the kind table.
class GenericDevice : public BaseDevice
{
    Q_OBJECT

public:
    GenericDevice(const InstrumentKind& kind, libusb_device* device, QObject* parent = nullptr);
};
