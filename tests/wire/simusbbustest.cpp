#include "sim/usbfs/simusbfixture.h"
#include "usb/usbdevice.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

// The emulated bus as libusb sees it: enumeration, descriptors, hot unplug and re-plug.
namespace {

class SimUsbBusTest : public SimUsbFixture
{
protected:
    // (vendor, product) of every device libusb lists.
    std::set<std::pair<int, int>> listed()
    {
        std::set<std::pair<int, int>> ids;
        libusb_device** list = nullptr;
        const ssize_t count = libusb_get_device_list(nullptr, &list);
        for (ssize_t i = 0; i < count; ++i) {
            libusb_device_descriptor descriptor;
            if (libusb_get_device_descriptor(list[i], &descriptor) == 0) {
                ids.emplace(descriptor.idVendor, descriptor.idProduct);
            }
        }
        if (count >= 0) {
            libusb_free_device_list(list, 1);
        }
        return ids;
    }
};

} // namespace

TEST_F(SimUsbBusTest, LibusbListsEveryPluggedKindWithItsDescriptors)
{
    for (SimKind kind : {SimKind::ControlUnit, SimKind::AcousticSensor, SimKind::LocatorSensor,
                         SimKind::MiniAntenna, SimKind::Emitter, SimKind::AcousticSensor2,
                         SimKind::UpdateOnly, SimKind::UnknownProduct, SimKind::ForeignVendor}) {
        plugKind(kind);
    }
    EXPECT_EQ(listed(), (std::set<std::pair<int, int>>{{0x1E84, 0x3000},
                                                       {0x1E84, 0x3001},
                                                       {0x2952, 0x0004},
                                                       {0x2952, 0x0005},
                                                       {0x2952, 0x0007},
                                                       {0x2952, 0x0008},
                                                       {0x2952, 0x000B},
                                                       {0x2952, 0xFFFF},
                                                       {0x046D, 0xC077}}));
    auto sensor = plugKind(SimKind::AcousticSensor2);
    libusb_device* device = libusbDevice(sensor);
    ASSERT_NE(device, nullptr);
    const SimUsbBus::Port port = *bus().portOf(sensor);
    EXPECT_EQ(libusb_get_bus_number(device), port.bus);
    EXPECT_EQ(libusb_get_device_address(device), port.address);
    libusb_config_descriptor* config = nullptr;
    ASSERT_EQ(libusb_get_config_descriptor(device, 0, &config), 0);
    EXPECT_EQ(config->bConfigurationValue, 1);
    ASSERT_EQ(config->bNumInterfaces, 1);
    EXPECT_EQ(config->interface[0].altsetting[0].bNumEndpoints, 2);
    EXPECT_EQ(libusb_get_max_packet_size(device, 0x81), 1024);
    libusb_free_config_descriptor(config);
}

TEST_F(SimUsbBusTest, UnplugAndReplugAtTheSameAddress)
{
    auto unit = plug(std::make_shared<SimControlUnit>(), 1, 5);
    EXPECT_EQ(listed().count({0x1E84, 0x3000}), 1u);
    bus().unplug(unit);
    EXPECT_EQ(listed().count({0x1E84, 0x3000}), 0u);
    EXPECT_EQ(libusbDevice(unit), nullptr);

    plug(unit, 1, 5);
    libusb_device* device = libusbDevice(unit);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(libusb_get_device_address(device), 5);
    UsbDevice transport(device, QStringLiteral("Replugged"), false);
    transport.open();
    int result = 1;
    transport.request(e_cmd_GetSerialNumber, e_cmd_SerialNumberAnswer, &result, 50);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(bus().plugCount(unit), 2);
}
