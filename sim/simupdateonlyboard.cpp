#include "sim/simupdateonlyboard.h"

#include "sim/simdefaults.h"

#include <algorithm>
#include <cstdlib>

SimUpdateOnlyBoard::SimUpdateOnlyBoard(SimFirmware firmware)
    : SimInstrument("Updateonly", SimUsbIdentity(0x2952, 0xFFFF), firmware)
{
    defineIdentity("PCB-UO-0005001", "UO", "A", "UO-00001");
}

void SimUpdateOnlyBoard::onImageVerified(const Bytes& image)
{
    static const std::string tag = kKindTag;
    const auto at = std::search(image.begin(), image.end(), tag.begin(), tag.end());
    if (at == image.end()) {
        return;
    }
    const std::string text(at + long(tag.size()), std::find(at + long(tag.size()), image.end(), uint8_t(0)));
    // "VVVV:PPPP:TYPE"
    if (text.size() < 11 || text[4] != ':' || text[9] != ':') {
        return;
    }
    Becoming becoming;
    becoming.vendor = uint16_t(std::strtoul(text.substr(0, 4).c_str(), nullptr, 16));
    becoming.product = uint16_t(std::strtoul(text.substr(5, 4).c_str(), nullptr, 16));
    becoming.deviceType = text.substr(10);
    m_becoming = becoming;
}

void SimUpdateOnlyBoard::onReboot()
{
    if (!m_becoming) {
        return;
    }
    const uint32_t usbId = uint32_t(m_becoming->vendor) << 16 | m_becoming->product;
    setUsbIdentityLocked(SimUsbIdentity(m_becoming->vendor, m_becoming->product));
    if (usbId == 0x1E843000) {
        defineOptions(SimDefaults::controlUnit());
    } else if (usbId == 0x1E843001 || usbId == 0x2952000B) {
        defineOptions(SimDefaults::acousticSensor());
    } else if (usbId == 0x29520004) {
        defineOptions(SimDefaults::locatorSensor());
    }
    defineOptions({{SimDefaults::DeviceType, textValue(m_becoming->deviceType)}});
    m_becoming.reset();
}
