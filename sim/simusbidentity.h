#pragma once

#include <cstdint>
#include <vector>

// How an instrument presents itself on the bus: vendor and product id, and a descriptor set with
// configuration 1 whose interface 0 carries the bulk endpoints. The answers of the protocol always
// travel on the first bulk IN endpoint of 1024 bytes (or, without one, on the first IN endpoint).
class SimUsbIdentity
{
public:
    enum class EndpointLayout
    {
        Standard,          // OUT 0x01 and IN 0x81, both 1024 bytes
        ExtraSmallInFirst, // IN 0x82 of 512 bytes listed before IN 0x81 of 1024 bytes, OUT 0x01 of 1024
        No1024Endpoint     // OUT 0x01 and IN 0x81 of 512 bytes only
    };

    struct Endpoint
    {
        uint8_t address;
        uint16_t maxPacketSize;
    };

    SimUsbIdentity() = default;
    SimUsbIdentity(uint16_t vendorId, uint16_t productId, EndpointLayout layout = EndpointLayout::Standard);

    uint16_t vendorId() const { return m_vendorId; }
    uint16_t productId() const { return m_productId; }
    EndpointLayout layout() const { return m_layout; }
    const std::vector<Endpoint>& endpoints() const { return m_endpoints; }
    void setEndpointLayout(EndpointLayout layout);

    // The endpoint the instrument answers on, and its OUT endpoint (0 when it has none).
    uint8_t answerEndpoint() const;
    uint8_t outEndpoint() const;
    // Maximum packet size of `address`, 0 when the interface has no such endpoint.
    uint16_t maxPacketSize(uint8_t address) const;

    // The 18-byte device descriptor.
    std::vector<uint8_t> deviceDescriptor() const;
    // Configuration 1 with its interface and endpoint descriptors, as GET_DESCRIPTOR returns it.
    std::vector<uint8_t> configurationDescriptor() const;

private:
    uint16_t m_vendorId = 0;
    uint16_t m_productId = 0;
    EndpointLayout m_layout = EndpointLayout::Standard;
    std::vector<Endpoint> m_endpoints;
};
