#include "usb/usbdevice.h"
#include "logcapture.h"
#include "sim/usbfs/simusbfixture.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

using namespace std::chrono_literals;

namespace {

class UsbDeviceTest : public SimUsbFixture
{
protected:
    // A transport on `instrument`, not yet opened; the log of the transport is captured in `log`.
    std::unique_ptr<UsbDevice> make(const std::shared_ptr<SimInstrument>& instrument)
    {
        libusb_device* usb = libusbDevice(instrument);
        EXPECT_TRUE(usb);
        auto device = std::make_unique<UsbDevice>(usb, QStringLiteral("Test"), false);
        log = LogCapture::attach(device->logger());
        return device;
    }
    std::unique_ptr<UsbDevice> open(const std::shared_ptr<SimInstrument>& instrument)
    {
        auto device = make(instrument);
        device->open();
        return device;
    }

    std::shared_ptr<LogCapture> log;
};

} // namespace

TEST_F(UsbDeviceTest, Prefers1024ByteInEndpointOverAnEarlier512ByteOne)
{
    auto unit = std::make_shared<SimControlUnit>();
    unit->setEndpointLayout(SimUsbIdentity::EndpointLayout::ExtraSmallInFirst);
    plug(unit);
    auto device = open(unit);
    EXPECT_EQ(device->inEndpoint(), 0x81);
    EXPECT_EQ(device->outEndpoint(), 0x01);
    EXPECT_TRUE(log->contains(spdlog::level::trace, "Add IN Endpoint 0x81"));
    EXPECT_FALSE(log->contains(spdlog::level::trace, "Add IN Endpoint 0x82"));
    int result = 1;
    device->request(e_cmd_GetChipId, e_cmd_ChipIdAnswer, &result, 50);
    EXPECT_EQ(result, 0);
}

TEST_F(UsbDeviceTest, WithoutA1024ByteEndpointEveryTransferFails)
{
    auto unit = std::make_shared<SimControlUnit>();
    unit->setEndpointLayout(SimUsbIdentity::EndpointLayout::No1024Endpoint);
    plug(unit);
    auto device = open(unit);
    EXPECT_EQ(device->inEndpoint(), 0);
    EXPECT_EQ(device->outEndpoint(), 0);
    EXPECT_LT(device->sendCommand(e_cmd_Reboot), 0);
    QByteArray data("untouched");
    EXPECT_LT(device->receiveData(data, 50), 0);
    EXPECT_EQ(data, QByteArray("untouched"));
    int result = 0;
    device->request(e_cmd_GetSoftwareVersion, e_cmd_SoftwareVersionAnswer, &result, 50);
    EXPECT_LT(result, 0);
    EXPECT_NE(result, UsbDevice::kWrongAnswer);
    EXPECT_TRUE(unit->received().empty());
}

// A failed open neither reports ready nor a disconnect, and a later attempt succeeds once the cause is gone;
// opening twice is harmless and closing says disconnected once.
TEST_F(UsbDeviceTest, OpenFailsCleanlyAndALaterAttemptSucceeds)
{
    const struct
    {
        std::function<void(SimFaults&, bool)> fault;
        const char* line;
    } cases[] = {
        {[](SimFaults& f, bool on) { f.failSetConfiguration(on); },
         "libusb_set_configuration failed: LIBUSB_ERROR_BUSY\n"},
        {[](SimFaults& f, bool on) { f.failClaimInterface(on); },
         "libusb_claim_interface failed: LIBUSB_ERROR_BUSY\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        auto unit = plugControlUnit();
        c.fault(unit->faults(), true);
        auto device = make(unit);
        QSignalSpy ready(device.get(), &UsbDevice::ready);
        QSignalSpy disconnected(device.get(), &UsbDevice::disconnected);
        device->open();
        EXPECT_EQ(ready.count(), 0);
        EXPECT_FALSE(device->isOpen());
        EXPECT_TRUE(log->contains(spdlog::level::debug, c.line));
        device->close();
        EXPECT_EQ(disconnected.count(), 0);
        c.fault(unit->faults(), false);
        device->open();
        device->open(); // harmless once open
        EXPECT_EQ(ready.count(), 1);
        EXPECT_TRUE(device->isOpen());
        device->close();
        device->close();
        EXPECT_FALSE(device->isOpen());
        device.reset();
        EXPECT_EQ(disconnected.count(), 1); // once, however often it is closed
        bus().unplug(unit);
    }
}

TEST_F(UsbDeviceTest, OptionRequestIsLittleEndianAndReturnsTheValue)
{
    auto unit = plugControlUnit();
    auto device = open(unit);
    int result = 1;
    const QByteArray value = device->readOption(0x10000001, &result, 50);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(value, QByteArray("CU"));
    ASSERT_EQ(unit->received().size(), 1u);
    EXPECT_EQ(SimInstrument::toByteArray(unit->received()[0]), QByteArray::fromHex("1500000001000010"));
    EXPECT_EQ(UsbDevice::commandPacket(e_cmd_GetOption, 0x10000001), QByteArray::fromHex("1500000001000010"));
}

TEST_F(UsbDeviceTest, LateOptionAnswerIsDrainedByTheNextOptionRead)
{
    auto unit = plugControlUnit();
    unit->faults().lateAnswerTo(e_cmd_GetOption, 70ms, 1);
    auto device = open(unit);
    int result = 0;
    device->readOption(0x10000004, &result, 50);
    EXPECT_EQ(result, -7);
    const QByteArray type = device->readOption(0x10000001, &result, 50);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(type, QByteArray("CU"));
    EXPECT_TRUE(log->containsPrefix(spdlog::level::debug, "Dropped a late answer of"));
    EXPECT_FALSE(log->contains(spdlog::level::err, "Wrong Option: 268435457:268435460"));
}

// Answers still on their way after an exchange ended without its own must be gone before the next
// request: one of the same kind (touch-state polling) cannot tell them apart by code, and the link would
// stay one answer behind for good.
TEST_F(UsbDeviceTest, AnswersOwedAfterAnIncompleteExchangeAreDroppedBeforeTheNextRequest)
{
    struct Case
    {
        const char* name;
        std::function<void(SimInstrument&, UsbDevice&)> disturb; // ends with a failed version request
    };
    auto failedRequest = [](UsbDevice& device, int expected) {
        int result = 0;
        device.request(e_cmd_GetSoftwareVersion, e_cmd_SoftwareVersionAnswer, &result, 50);
        EXPECT_EQ(result, expected);
    };
    const Case cases[] = {
        {"late answer, asked again at once",
         [&](SimInstrument& unit, UsbDevice& device) {
             unit.faults().lateAnswerTo(e_cmd_GetSoftwareVersion, 80ms, 1);
             failedRequest(device, LIBUSB_ERROR_TIMEOUT);
         }},
        {"late answer, asked again after it came",
         [&](SimInstrument& unit, UsbDevice& device) {
             unit.faults().lateAnswerTo(e_cmd_GetSoftwareVersion, 80ms, 1);
             failedRequest(device, LIBUSB_ERROR_TIMEOUT);
             QTest::qWait(100);
         }},
        // Mismatching packets fill the whole time-out: the request ends on its clock, not on a receive.
        {"stream left unread, longer than a time-out",
         [&](SimInstrument& unit, UsbDevice& device) {
             unit.setLog(SimInstrument::Bytes(400 * 1024, 'L'));
             ASSERT_EQ(device.sendCommand(e_cmd_ReadLog), 0);
             QByteArray packet;
             ASSERT_EQ(device.receiveData(packet, 1000), 0);
             failedRequest(device, UsbDevice::kWrongAnswer);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto unit = plugControlUnit();
        auto device = open(unit);
        c.disturb(*unit, *device);
        EXPECT_TRUE(device->isStaleAnswerPossible());
        unit->setSoftwareVersion("APP 2.0.0$2026-12-01");
        for (int i = 0; i < 2; ++i) {
            int result = 0;
            const QByteArray version =
                device->request(e_cmd_GetSoftwareVersion, e_cmd_SoftwareVersionAnswer, &result, 50);
            EXPECT_EQ(result, 0);
            EXPECT_TRUE(version.startsWith("APP 2.0.0")) << version.left(16).toStdString();
        }
        EXPECT_TRUE(log->containsPrefix(spdlog::level::debug, "Dropped a late answer of"));
        EXPECT_EQ(unit->queuedInPackets(), 0u);
        // Exchanges that got their answer leave nothing to drain: they stay as fast as before.
        EXPECT_FALSE(device->isStaleAnswerPossible());
        device.reset();
        bus().unplug(unit);
    }
}

// One fault of the link or the instrument per case: the result code the exchange ends with, the line
// it logs, and that the link recovers where the fault was once only.
TEST_F(UsbDeviceTest, EachFaultEndsTheExchangeWithItsResultAndLine)
{
    const auto version = [](UsbDevice& device) {
        int result = 1;
        const QByteArray answer =
            device.request(e_cmd_GetSoftwareVersion, e_cmd_SoftwareVersionAnswer, &result, 50);
        EXPECT_TRUE(result != 0 || answer.isEmpty() || answer.startsWith("BOOT"));
        return result;
    };
    const auto chipId = [](UsbDevice& device) {
        int result = 1;
        device.request(e_cmd_GetChipId, e_cmd_ChipIdAnswer, &result, 50);
        return result;
    };
    const auto option = [](UsbDevice& device) {
        int result = 1;
        EXPECT_TRUE(device.readOption(0x10000002, &result, 50).isEmpty() || result == 0);
        return result;
    };
    // Fails without touching the caller's buffer.
    const auto receive = [](UsbDevice& device) {
        QByteArray data("kept");
        const int result = device.receiveData(data, 50);
        EXPECT_EQ(data, QByteArray("kept"));
        return result;
    };
    constexpr int kOnce = 99; // the repeated exchange is not checked
    const struct
    {
        const char* name;
        std::function<void(SimControlUnit&, UsbDevice&)> fault;
        std::function<int(UsbDevice&)> exchange;
        int result;
        const char* line = nullptr;
        int again = kOnce; // the same exchange right after
    } cases[] = {
        {"wrong answer code",
         [](SimControlUnit& u, UsbDevice&) { u.faults().wrongAnswerCode(e_cmd_GetSoftwareVersion, 6, 1); },
         version, UsbDevice::kWrongAnswer, "Wrong Answer: 2:6"},
        {"wrong option id",
         [](SimControlUnit& u, UsbDevice&) { u.faults().wrongOptionId(0x10000002, 0x10000004); }, option,
         UsbDevice::kWrongAnswer, "Wrong Option: 268435458:268435460"},
        {"empty answer",
         [](SimControlUnit& u, UsbDevice&) {
             u.faults().noAnswerTo(e_cmd_GetSoftwareVersion, 1);
             u.injectInPacket({});
         },
         version, UsbDevice::kWrongAnswer, "Wrong Answer: 2:0"},
        // Missing bytes of a short answer count as zero.
        {"two-byte answer",
         [](SimControlUnit& u, UsbDevice&) {
             u.faults().noAnswerTo(e_cmd_GetSoftwareVersion, 1);
             u.injectInPacket({0x02, 0x00});
         },
         version, 0},
        {"no answer", [](SimControlUnit& u, UsbDevice&) { u.faults().noAnswerTo(e_cmd_GetSoftwareVersion); },
         version, LIBUSB_ERROR_TIMEOUT, "Can't read data: LIBUSB_ERROR_TIMEOUT", LIBUSB_ERROR_TIMEOUT},
        {"stalled answer",
         [](SimControlUnit& u, UsbDevice&) { u.faults().pipeErrorOnAnswerTo(e_cmd_GetChipId, 1); }, chipId,
         LIBUSB_ERROR_PIPE, "Can't read data: LIBUSB_ERROR_PIPE", 0},
        {"stalled request",
         [](SimControlUnit& u, UsbDevice&) { u.faults().pipeErrorOn(e_cmd_WriteOptions, 1); },
         [](UsbDevice& device) { return device.sendCommand(e_cmd_WriteOptions); }, LIBUSB_ERROR_PIPE,
         "Unable to send packet: LIBUSB_ERROR_PIPE\n", 0},
        {"nothing to receive", [](SimControlUnit&, UsbDevice&) {}, receive, LIBUSB_ERROR_TIMEOUT,
         "Unable to receive packet: LIBUSB_ERROR_TIMEOUT\n"},
        {"stream that stops",
         [](SimControlUnit& u, UsbDevice& device) {
             u.setDatasetStoreImage(SimInstrument::Bytes(3000, 0x5A));
             u.faults().stopStreamAfter(e_cmd_ReadDataSets, 2);
             EXPECT_EQ(device.sendCommand(e_cmd_ReadDataSets, 1026), 0);
             QByteArray packet;
             EXPECT_EQ(device.receiveData(packet, 1000), 0);
             EXPECT_EQ(device.receiveData(packet, 250), 0);
         },
         receive, LIBUSB_ERROR_TIMEOUT},
        {"unplugged in the middle of a request",
         [](SimControlUnit& u, UsbDevice&) { u.faults().unplugAfterPackets(1); }, version,
         LIBUSB_ERROR_NO_DEVICE, nullptr, LIBUSB_ERROR_NO_DEVICE},
        // Jobs queued behind a disconnect still run on the closed transport: they must fail, not crash.
        {"closed before a send", [](SimControlUnit&, UsbDevice& device) { device.close(); },
         [](UsbDevice& device) { return device.sendCommand(e_cmd_WriteOptions); }, LIBUSB_ERROR_NO_DEVICE},
        {"closed before a receive", [](SimControlUnit&, UsbDevice& device) { device.close(); }, receive,
         LIBUSB_ERROR_NO_DEVICE},
        {"closed before an option read", [](SimControlUnit&, UsbDevice& device) { device.close(); }, option,
         LIBUSB_ERROR_NO_DEVICE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto unit = plugControlUnit();
        auto device = open(unit);
        c.fault(*unit, *device);
        const size_t sentBefore = unit->received().size();
        const bool closed = !device->isOpen();
        EXPECT_EQ(c.exchange(*device), c.result);
        if (c.line) {
            EXPECT_EQ(log->count(spdlog::level::err, QString::fromLatin1(c.line)), 1);
        }
        if (c.result == LIBUSB_ERROR_NO_DEVICE) {
            EXPECT_FALSE(device->isOpen());
        }
        if (closed) {
            EXPECT_EQ(unit->received().size(), sentBefore);
        }
        if (c.again != kOnce) {
            EXPECT_EQ(c.exchange(*device), c.again);
        }
        device.reset();
        bus().unplug(unit);
    }
    EXPECT_EQ(UsbDevice::toUInt32(QByteArray::fromHex("0200")), 2u);
    EXPECT_EQ(UsbDevice::toUInt32(QByteArray()), 0u);
}

// The trace dump cuts a packet into lines of 14 bytes; with trace off no dump is written.
TEST_F(UsbDeviceTest, TraceDumpIsCutIntoLinesOf14BytesAndOnlyWithTraceOn)
{
    auto unit = plugControlUnit();
    auto device = open(unit);
    QByteArray packet = UsbDevice::commandPacket(e_cmd_SetOption, 0x20000002);
    packet += QByteArray(8, '\x01');
    device->sendData(packet, nullptr, 50);
    EXPECT_TRUE(log->contains(spdlog::level::trace,
                              "Send data\n\t17:00:00:00:02:00:00:20:01:01:01:01:01:01\n\t"
                              "01:01"));
    log->clear();
    device->logger()->set_level(spdlog::level::debug);
    device->sendCommand(e_cmd_Reboot);
    EXPECT_FALSE(log->containsPrefix(spdlog::level::trace, "Send data"));
}
