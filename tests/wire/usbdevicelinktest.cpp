#include "logcapture.h"

#include "sim/usbfs/simusbfixture.h"
#include "usb/usbdevice.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

// The connection watch through the real libusb. Each case waits for the 2000 ms probe at least once. A
// restart's re-enumeration is the maintenance jobs' case, the firmware exchange the update job's.
namespace {

class UsbDeviceLinkTest : public SimUsbFixture
{
protected:
    std::unique_ptr<UsbDevice> open(const std::shared_ptr<SimInstrument>& instrument)
    {
        auto device = std::make_unique<UsbDevice>(libusbDevice(instrument), QStringLiteral("Link"), false);
        log = LogCapture::attach(device->logger());
        device->open();
        EXPECT_TRUE(device->isOpen());
        return device;
    }

    std::shared_ptr<LogCapture> log;
};

} // namespace

TEST_F(UsbDeviceLinkTest, UnplugGivesExactlyOneDisconnectedWithinAboutTwoSeconds)
{
    auto unit = plugControlUnit();
    auto device = open(unit);
    QSignalSpy disconnected(device.get(), &UsbDevice::disconnected);
    // The probe finds the unplug on its next round; how soon that comes is the probe interval's business
    // (a named constant), not something a loaded machine can show reliably.
    bus().unplug(unit);
    ASSERT_TRUE(disconnected.wait(20000));
    EXPECT_TRUE(log->contains(spdlog::level::trace, "Device not open: LIBUSB_ERROR_NO_DEVICE"));
    EXPECT_EQ(log->count(spdlog::level::debug, "Device closed"), 1);
    QTest::qWait(UsbDevice::kRefreshIntervalMs + 300); // a further probe round must not say it again
    device.reset();
    EXPECT_EQ(disconnected.count(), 1);
}

TEST_F(UsbDeviceLinkTest, BusyProbeKeepsTheDeviceOpen)
{
    auto unit = plugControlUnit();
    auto device = open(unit);
    unit->faults().probeBusy();
    // The probe request itself now reports busy.
    libusb_device_handle* raw = nullptr;
    ASSERT_EQ(libusb_open(libusbDevice(unit), &raw), 0);
    unsigned char descriptor[18];
    EXPECT_EQ(libusb_control_transfer(raw, 0x80, 6, 0x0100, 0, descriptor, 18, 1000), LIBUSB_ERROR_BUSY);
    libusb_close(raw);
    QSignalSpy disconnected(device.get(), &UsbDevice::disconnected);
    QTest::qWait(2300);
    EXPECT_EQ(disconnected.count(), 0);
    EXPECT_TRUE(device->isOpen());
    int result = 1;
    device->request(e_cmd_GetChipId, e_cmd_ChipIdAnswer, &result, 50);
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(log->contains(spdlog::level::trace, "Device not open: LIBUSB_ERROR_BUSY"));
}
