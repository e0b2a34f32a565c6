#include "sim/simusbidentity.h"

namespace {
void appendShort(std::vector<uint8_t>& bytes, uint16_t value)
{
    bytes.push_back(uint8_t(value & 0xFF));
    bytes.push_back(uint8_t(value >> 8));
}
} // namespace

SimUsbIdentity::SimUsbIdentity(uint16_t vendorId, uint16_t productId, EndpointLayout layout)
    : m_vendorId(vendorId), m_productId(productId)
{
    setEndpointLayout(layout);
}

void SimUsbIdentity::setEndpointLayout(EndpointLayout layout)
{
    m_layout = layout;
    switch (layout) {
    case EndpointLayout::Standard:
        m_endpoints = {{0x01, 1024}, {0x81, 1024}};
        break;
    case EndpointLayout::ExtraSmallInFirst:
        m_endpoints = {{0x01, 1024}, {0x82, 512}, {0x81, 1024}};
        break;
    case EndpointLayout::No1024Endpoint:
        m_endpoints = {{0x01, 512}, {0x81, 512}};
        break;
    }
}

uint8_t SimUsbIdentity::answerEndpoint() const
{
    uint8_t fallback = 0;
    for (const Endpoint& endpoint : m_endpoints) {
        if ((endpoint.address & 0x80) == 0) {
            continue;
        }
        if (endpoint.maxPacketSize == 1024) {
            return endpoint.address;
        }
        if (fallback == 0) {
            fallback = endpoint.address;
        }
    }
    return fallback;
}

uint8_t SimUsbIdentity::outEndpoint() const
{
    for (const Endpoint& endpoint : m_endpoints) {
        if ((endpoint.address & 0x80) == 0) {
            return endpoint.address;
        }
    }
    return 0;
}

uint16_t SimUsbIdentity::maxPacketSize(uint8_t address) const
{
    for (const Endpoint& endpoint : m_endpoints) {
        if (endpoint.address == address) {
            return endpoint.maxPacketSize;
        }
    }
    return 0;
}

std::vector<uint8_t> SimUsbIdentity::deviceDescriptor() const
{
    std::vector<uint8_t> bytes = {18, 1};
    appendShort(bytes, 0x0200); // bcdUSB
    bytes.push_back(0xFF);      // vendor-specific class
    bytes.push_back(0x00);
    bytes.push_back(0x00);
    bytes.push_back(64); // bMaxPacketSize0
    appendShort(bytes, m_vendorId);
    appendShort(bytes, m_productId);
    appendShort(bytes, 0x0100); // bcdDevice
    bytes.push_back(0);         // iManufacturer
    bytes.push_back(0);         // iProduct
    bytes.push_back(0);         // iSerialNumber
    bytes.push_back(1);         // bNumConfigurations
    return bytes;
}

std::vector<uint8_t> SimUsbIdentity::configurationDescriptor() const
{
    const uint16_t total = uint16_t(9 + 9 + 7 * m_endpoints.size());
    std::vector<uint8_t> bytes = {9, 2};
    appendShort(bytes, total);
    bytes.push_back(1);    // bNumInterfaces
    bytes.push_back(1);    // bConfigurationValue
    bytes.push_back(0);    // iConfiguration
    bytes.push_back(0x80); // bus powered
    bytes.push_back(50);   // 100 mA

    bytes.insert(bytes.end(), {9, 4, 0, 0, uint8_t(m_endpoints.size()), 0xFF, 0x00, 0x00, 0});
    for (const Endpoint& endpoint : m_endpoints) {
        bytes.insert(bytes.end(), {7, 5, endpoint.address, 0x02});
        appendShort(bytes, endpoint.maxPacketSize);
        bytes.push_back(0);
    }
    return bytes;
}
