#include "usb/usbinstrument.h"

UsbInstrument::UsbInstrument(QObject* parent) : QObject(parent) {}

UsbInstrument::~UsbInstrument() = default;
