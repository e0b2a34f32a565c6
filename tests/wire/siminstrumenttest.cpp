#include "sim/simacousticsensor.h"
#include "sim/simcontrolunit.h"
#include "sim/siminstrumentfactory.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace SimProtocol;
using Bytes = SimProtocol::Bytes;

// The instrument models on their own, without USB: what each command is answered with and the state a
// unit keeps. What each kind presents on the bus, and the faults it can be told to show, are checked
// through the real transport and discovery (tests/wire/usbdevicetest.cpp and the device layer's tests).
namespace {

constexpr uint8_t kOut = 0x01;
constexpr uint8_t kIn = 0x81;

void send(SimInstrument& unit, const Bytes& packet)
{
    unit.receivePacket(kOut, packet);
}

// Every packet due now.
std::vector<Bytes> drain(SimInstrument& unit)
{
    std::vector<Bytes> packets;
    while (auto packet = unit.takeInPacket(kIn)) {
        packets.push_back(packet->data);
    }
    return packets;
}

Bytes answerTo(SimInstrument& unit, const Bytes& request)
{
    send(unit, request);
    auto packets = drain(unit);
    return packets.size() == 1 ? packets[0] : Bytes{0xEE};
}

Bytes text(const char* value, bool terminated)
{
    Bytes bytes(value, value + std::strlen(value));
    if (terminated) {
        bytes.push_back(0);
    }
    return bytes;
}

Bytes concat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TEST(SimInstrumentProtocol, IdentityCommandsAreAnsweredWithCodePlusOne)
{
    SimControlUnit unit;
    EXPECT_EQ(answerTo(unit, words({GetSoftwareVersion})),
              concat(words({SoftwareVersionAnswer}), text("BOOT 1.4.2$2021-03-04", true)));
    EXPECT_EQ(answerTo(unit, words({GetSerialNumber})),
              concat(words({SerialNumberAnswer}), text("PCB-CU-0001234", true)));
    EXPECT_EQ(answerTo(unit, words({GetHardwareRevision})),
              concat(words({HardwareRevisionAnswer}), text("D", true)));
    EXPECT_EQ(wordAt(answerTo(unit, words({GetChipId})), 0), ChipIdAnswer);
    EXPECT_EQ(answerTo(unit, words({GetOption, 0x10000004})),
              concat(words({OptionAnswer, 0x10000004}), text("TCU-21-00042", false)));
    // Unknown commands and half packets are ignored.
    send(unit, words({0x4711}));
    send(unit, Bytes{1, 0});
    EXPECT_TRUE(drain(unit).empty());
    EXPECT_EQ(unit.receivedCommands(), (std::vector<uint32_t>{1, 7, 5, 270, 21, 0x4711, 1}));
}

TEST(SimInstrumentProtocol, OptionValuesHaveTheirLayouts)
{
    SimControlUnit unit;
    EXPECT_EQ(unit.option(0x20000004)->size(), 4u); // sheath fault switch, int32
    EXPECT_EQ(unit.option(0x20000013)->size(), 4u); // sheath fault calibration, float
    EXPECT_EQ(unit.option(0x28400000)->size(), 4u); // user setting
    EXPECT_FALSE(unit.knowsOption(0x2000002D));     // terminator
    EXPECT_TRUE(unit.knowsOption(0x2840001F));      // sixteenth Bluetooth entry
    auto locator = SimInstrumentFactory::create(SimKind::LocatorSensor);
    EXPECT_EQ(locator->option(0x21100032)->size(), 32u);
    EXPECT_EQ(wordAt(*locator->option(0x21100032), 0), 50u);
    EXPECT_FALSE(locator->knowsOption(0x21109C40)); // e_sid_vcs_calibration_Last
    // Current firmware answers an unknown id with an empty value.
    EXPECT_EQ(answerTo(unit, words({GetOption, 0})), words({OptionAnswer, 0}));
}

TEST(SimInstrumentOptions, SetWriteRebootAndFactoryReset)
{
    SimControlUnit unit;
    const uint32_t compass = 0x20000007;
    const Bytes on = words({1});
    const Bytes off = words({0});
    ASSERT_EQ(*unit.option(compass), on);
    send(unit, concat(words({SetOption, compass}), off));
    EXPECT_EQ(*unit.option(compass), off);
    EXPECT_EQ(*unit.permanentOption(compass), on);
    EXPECT_TRUE(unit.hasUncommittedOptions());
    send(unit, words({Reboot}));
    EXPECT_EQ(unit.takeLinkEvent(), SimInstrument::LinkEvent::Reenumerate);
    EXPECT_EQ(*unit.option(compass), on);

    send(unit, concat(words({SetOption, compass}), off));
    send(unit, words({WriteOptions}));
    send(unit, words({Reboot}));
    EXPECT_EQ(*unit.option(compass), off);
    send(unit, words({FactoryReset}));
    EXPECT_EQ(*unit.option(compass), on);
    EXPECT_EQ(*unit.permanentOption(compass), on);
    EXPECT_EQ(unit.factoryResetCount(), 1);
    EXPECT_EQ(unit.rebootCount(), 2);
    // A set for an id the unit does not hold changes nothing.
    send(unit, concat(words({SetOption, 0x2FFFFFFF}), off));
    EXPECT_FALSE(unit.knowsOption(0x2FFFFFFF));
}

TEST(SimInstrumentOptions, LegacyFirmwareIsSilentAboutNewerOptions)
{
    auto legacy = SimInstrumentFactory::create(SimKind::ControlUnit, SimFirmware::Legacy);
    send(*legacy, words({GetOption, 0x10000004}));
    send(*legacy, words({GetOption, 0x10000002}));
    EXPECT_TRUE(drain(*legacy).empty());
    EXPECT_EQ(wordAt(answerTo(*legacy, words({GetHardwareRevision})), 0), HardwareRevisionAnswer);
    EXPECT_EQ(wordAt(answerTo(*legacy, words({GetSerialNumber})), 0), SerialNumberAnswer);
    EXPECT_EQ(wordAt(answerTo(*legacy, words({GetOption, 0x10000001})), 0), OptionAnswer);
}

TEST(SimInstrumentStreams, DatasetStoreIsStreamedAndCleared)
{
    SimControlUnit unit;
    unit.setDatasetStoreImage(Bytes(1024 * 2, 0x11));
    send(unit, words({ReadDataSets, 1025}));
    EXPECT_TRUE(drain(unit).empty()); // wrong argument word: ignored
    send(unit, words({ReadDataSets, DataSetsArgument}));
    auto packets = drain(unit);
    ASSERT_EQ(packets.size(), 3u);
    EXPECT_EQ(packets[2], words({DataSetsEnd}));
    send(unit, words({ClearDataSets, DataSetsArgument}));
    EXPECT_TRUE(unit.datasetStoreImage().empty());
    EXPECT_EQ(unit.datasetClearCount(), 1);
}

TEST(SimInstrumentFirmware, VerifyChecksSizeAndChecksum)
{
    const char abc[] = "abc";
    EXPECT_EQ(jamCrc(reinterpret_cast<const uint8_t*>(abc), 3), 0xCADBBE3Du);

    auto run = [](SimInstrument& unit, const Bytes& image, uint32_t announced, uint32_t crc,
                  size_t skipChunk) {
        send(unit, words({FirmwareStart, announced}));
        send(unit, words({FirmwareChecksum, crc}));
        size_t index = 0;
        for (size_t offset = 0; offset < image.size(); offset += FirmwareChunkSize, ++index) {
            if (index == skipChunk) {
                continue;
            }
            const size_t length = std::min(FirmwareChunkSize, image.size() - offset);
            send(unit, concat(words({FirmwareData, uint32_t(offset)}),
                              Bytes(image.begin() + long(offset), image.begin() + long(offset + length))));
        }
        send(unit, words({FirmwareData}));
        EXPECT_TRUE(drain(unit).empty()); // the first lone [257] ends the data
        send(unit, words({FirmwareData}));
        auto packets = drain(unit);
        EXPECT_EQ(packets.size(), 1u);
        EXPECT_EQ(wordAt(packets.at(0), 0), FirmwareVerifyAnswer);
        return wordAt(packets.at(0), 4);
    };
    Bytes image(760 * 2 + 5);
    for (size_t i = 0; i < image.size(); ++i) {
        image[i] = uint8_t(i * 13);
    }
    const uint32_t crc = jamCrc(image.data(), image.size());
    auto board = SimInstrumentFactory::create(SimKind::UpdateOnly);
    EXPECT_EQ(run(*board, image, uint32_t(image.size()), crc, 99), 0u);
    EXPECT_EQ(board->firmwareImage(), image);
    EXPECT_NE(run(*board, image, uint32_t(image.size()), crc ^ 1, 99), 0u);
    EXPECT_NE(run(*board, image, uint32_t(image.size()), crc, 1), 0u);
    EXPECT_NE(run(*board, image, uint32_t(image.size() + 1), crc, 99), 0u);
}

TEST(SimTouchDetector, CalibrationSweepFindsTheUpperEdge)
{
    SimAcousticSensor sensor;
    auto post = [&](uint32_t sensitivity) {
        send(sensor, words({CdcSetThreshold, sensitivity * CdcRawPerStep}));
    };
    auto state = [&]() { return wordAt(answerTo(sensor, words({CdcGetState})), 4); };
    post(0);
    EXPECT_EQ(state(), 0u);       // touched at the most sensitive setting
    int lastSwitch[2] = {-1, -1}; // sweeping up, then down
    for (int down = 0; down < 2; ++down) {
        post(down ? 4095 : 0);
        uint32_t previous = state();
        for (int step = 0; step < 4096; ++step) {
            const int t = down ? 4095 - step : step;
            post(uint32_t(t));
            if (state() != previous) {
                lastSwitch[down] = t;
                previous = state();
            }
        }
    }
    EXPECT_EQ(lastSwitch[0], 1000);
    EXPECT_EQ(lastSwitch[1], 980);
    sensor.setTouchOverride(true);
    post(4095);
    EXPECT_EQ(state(), 0u);
}

TEST(SimTouchDetector, StoredThresholdSurvivesARebootAndPostedOneDoesNot)
{
    SimAcousticSensor sensor(SimAcousticSensor::Generation::Second);
    const uint32_t stored = sensor.storedRawThreshold();
    EXPECT_EQ(wordAt(answerTo(sensor, words({CdcGetThreshold})), 4), stored);
    send(sensor, words({CdcSetThreshold, 1200 * CdcRawPerStep}));
    send(sensor, words({Reboot}));
    EXPECT_EQ(sensor.postedRawThreshold(), stored);
    send(sensor, words({CdcSetThreshold, 1200 * CdcRawPerStep}));
    send(sensor, words({CdcStoreThreshold}));
    EXPECT_EQ(wordAt(answerTo(sensor, words({CdcGetThreshold})), 4), 1200 * CdcRawPerStep);
    EXPECT_EQ(*sensor.permanentOption(0x20000004), words({1200 * CdcRawPerStep}));
    // The calibrated option is an ordinary option.
    send(sensor, concat(words({SetOption, 0x2000000A}), words({1000})));
    EXPECT_EQ(answerTo(sensor, words({GetOption, 0x2000000A})), words({OptionAnswer, 0x2000000A, 1000}));
}
