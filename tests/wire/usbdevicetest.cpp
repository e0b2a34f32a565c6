#include "logcapture.h"

#include "sim/usbfs/simusbfixture.h"
#include "usb/usbdevice.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

[[maybe_unused]] QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (int value : values) {
        result.append(char(value));
    }
    return result;
}

class UsbDeviceTest : public SimUsbFixture
{
protected:
    // Opens a transport on `instrument`; the log of the transport is captured in `log`.
    std::unique_ptr<UsbDevice> open(const std::shared_ptr<SimInstrument>& instrument)
    {
        m_libusbDevice = libusbDevice(instrument);
        EXPECT_TRUE(m_libusbDevice);
        auto device = std::make_unique<UsbDevice>(m_libusbDevice.get(), QStringLiteral("Test"), false);
        log = LogCapture::attach(device->logger());
        device->open();
        return device;
    }

    std::shared_ptr<LogCapture> log;

private:
    SimLibusbDevicePtr m_libusbDevice;
};

} // namespace

TEST_F(UsbDeviceTest, OpensAndReadsTheSoftwareVersion)
{
    auto unit = plugControlUnit();
    auto device = open(unit);
    EXPECT_EQ(device->inEndpoint(), 0x81);
    EXPECT_EQ(device->outEndpoint(), 0x01);
    int result = 1;
    const QByteArray version =
        device->request(e_cmd_GetSoftwareVersion, e_cmd_SoftwareVersionAnswer, &result, 50);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(version, QByteArray("BOOT 1.4.2$2021-03-04", 22));
}
