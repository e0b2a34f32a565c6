// The firmware update end to end: a real BaseDevice and UsbDevice over libusb against a simulated
// instrument, which records every packet it received and checks the image it assembled itself.
#include "firmwarefiles.h"
#include "sim/simprotocol.h"
#include "tests/devices/simharness.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QtEndian>

#include <utility>
#include <vector>

namespace {

using namespace SimProtocol;

constexpr int kChunk = 760;

QByteArray makeImage(int size)
{
    QByteArray image(size, '\0');
    for (int i = 0; i < size; ++i) {
        image[i] = char((i * 7 + i / 251) & 0xFF);
    }
    return image;
}

class FirmwareUpdate : public SimHarness
{
protected:
    void SetUp() override
    {
        SimHarness::SetUp();
        instrument = SimInstrumentFactory::create(SimKind::UpdateOnly); // hardware revision "A"
        device = plugAndSettle(instrument, &recorder);
        ASSERT_TRUE(device);
        ASSERT_EQ(device->hardwareRevision(), "A");
        instrument->clearReceived();
        forget(); // plugAndSettle attached the recorder; only what follows counts
        recorder.notes.clear();
        QObject::connect(device.data(), &BaseDevice::jobResult, device.data(),
                         [this](QString name, int, QString message) {
                             if (name == QLatin1String("WriteFirmwareJob")) {
                                 messages << message;
                             }
                         });
    }
    void TearDown() override
    {
        device.reset();
        SimHarness::TearDown();
    }

    QString firmwareFile(const QByteArray& image, int offset, const QStringList& hardware = {"ALL"})
    {
        return files.write(image, FirmwareFiles::info("3.0.0", hardware, offset));
    }
    QString writeFile(const QByteArray& content) { return files.write("raw.firmware", content); }

    // Starts the update and waits until the job came back; its result.
    int update(const QString& path, int timeoutMs = 20000)
    {
        device->updateFirmware(path);
        if (!QTest::qWaitFor([&] { return recorder.jobs.contains("WriteFirmwareJob"); }, timeoutMs)) {
            ADD_FAILURE() << "the update did not come back";
            return 12345;
        }
        return recorder.resultOf("WriteFirmwareJob");
    }

    // Lets the next update() wait for the next job.
    void forget()
    {
        recorder.jobs.clear();
        recorder.results.clear();
    }

    // The argument word of the first received packet with `command`.
    quint32 argumentOf(uint32_t command) const
    {
        for (const Bytes& packet : instrument->received()) {
            const QByteArray bytes = SimInstrument::toByteArray(packet);
            if (bytes.size() >= 8 && qFromLittleEndian<quint32>(bytes.constData()) == command) {
                return qFromLittleEndian<quint32>(bytes.constData() + 4);
            }
        }
        return 0xDEADBEEF;
    }

    // (position, data length) of every data packet the instrument received.
    std::vector<std::pair<quint32, int>> dataPackets() const
    {
        std::vector<std::pair<quint32, int>> packets;
        for (const Bytes& packet : instrument->received()) {
            const QByteArray bytes = SimInstrument::toByteArray(packet);
            if (bytes.size() > 4 && qFromLittleEndian<quint32>(bytes.constData()) == FirmwareData) {
                packets.emplace_back(qFromLittleEndian<quint32>(bytes.constData() + 4),
                                     int(bytes.size()) - 8);
            }
        }
        return packets;
    }

    void expectUntouched(int result, const char* message)
    {
        EXPECT_TRUE(instrument->received().empty());
        ASSERT_FALSE(messages.isEmpty());
        EXPECT_EQ(messages.last(), QString::fromLatin1(message));
        ASSERT_FALSE(recorder.notes.isEmpty());
        EXPECT_EQ(recorder.notes.last().first, NotificationMessageType::Error);
        EXPECT_TRUE(recorder.notes.last().second.contains(QString::number(result)));
    }

    std::shared_ptr<SimInstrument> instrument;
    QSharedPointer<BaseDevice> device;
    DeviceRecorder recorder;
    QStringList messages;
    FirmwareFiles files;
};

#ifdef FIRMWARE_UPDATE_SLOW_TESTS

// A silent instrument is given the full minute the verification may take, and no more.
TEST_F(FirmwareUpdate, NoVerifyAnswerFailsAfterTheVerifyTimeOut)
{
    instrument->faults().noAnswerTo(FirmwareData);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(update(firmwareFile(makeImage(1000), 0), 90000), -7);
    EXPECT_GE(clock.elapsed(), 59000);
    EXPECT_LT(clock.elapsed(), 75000);
    EXPECT_TRUE(log().contains("Verify firmware failed: LIBUSB_ERROR_TIMEOUT"));
    EXPECT_EQ(instrument->rebootCount(), 0);
}

#else

TEST_F(FirmwareUpdate, WholePacketsFromTheOffsetAreVerifiedAndTheInstrumentRebooted)
{
    const int offset = 100;
    const QByteArray image = makeImage(offset + 3 * kChunk);
    EXPECT_EQ(update(firmwareFile(image, offset)), 0);

    const QByteArray sent = image.mid(offset);
    // The instrument verified the image it assembled against the announced size and checksum; its
    // receiver is reset by the reboot that follows, so the packets tell the rest.
    EXPECT_EQ(instrument->lastVerifyStatus(), std::optional<uint32_t>(0));
    EXPECT_EQ(argumentOf(FirmwareStart), quint32(sent.size()));
    // The instrument's own checksum, computed apart from the tool's.
    EXPECT_EQ(argumentOf(FirmwareChecksum),
              jamCrc(reinterpret_cast<const uint8_t*>(sent.constData()), size_t(sent.size())));
    EXPECT_EQ(dataPackets(),
              (std::vector<std::pair<quint32, int>>{{0, kChunk}, {760, kChunk}, {1520, kChunk}}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return instrument->rebootCount() == 1; }, 20000));
    EXPECT_EQ(instrument->receivedCommands(),
              (std::vector<uint32_t>{FirmwareStart, FirmwareChecksum, FirmwareData, FirmwareData,
                                     FirmwareData, FirmwareData, FirmwareData, Reboot}));
    ASSERT_EQ(recorder.notes.size(), 1);
    EXPECT_EQ(recorder.notes[0].first, NotificationMessageType::Success);
    EXPECT_EQ(recorder.notes[0].second, "Firmware update successful! Restart device...");
    EXPECT_TRUE(log().contains("write firmware offset 1520"));
}

TEST_F(FirmwareUpdate, OneByteMoreAddsAOneBytePacket)
{
    const QByteArray image = makeImage(16 + 2 * kChunk + 1);
    EXPECT_EQ(update(firmwareFile(image, 16, {"X", "A"})), 0);
    EXPECT_EQ(dataPackets(), (std::vector<std::pair<quint32, int>>{{0, kChunk}, {760, kChunk}, {1520, 1}}));
    EXPECT_EQ(instrument->lastVerifyStatus(), std::optional<uint32_t>(0));
}

TEST_F(FirmwareUpdate, FilesThatFailAnyCheckLeaveTheInstrumentUntouched)
{
    const QByteArray image = makeImage(2000);
    EXPECT_EQ(update(firmwareFile(image, 2000)), -4);
    expectUntouched(-4, "Invalid offset at file");
    EXPECT_TRUE(log().contains("offset 2000"));

    forget();
    EXPECT_EQ(update(firmwareFile(image, -1)), -4);
    expectUntouched(-4, "Invalid offset at file");

    forget();
    EXPECT_EQ(update(firmwareFile(image, 0, {"B", "a", "ALL "})), -3);
    expectUntouched(-3, "Firmware not supported by hardware revision!");
    EXPECT_TRUE(log().contains("Firmware not supported by hardware revision! should be: A"));

    forget();
    FirmwareInfo info;
    info.supportedHardware = QStringList{"ALL"};
    const QByteArray wrongMd5 = QCryptographicHash::hash(image + "x", QCryptographicHash::Md5);
    EXPECT_EQ(
        update(writeFile(files.packer.packJson(FirmwarePacker::firmwareDocument(image, info, wrongMd5), 0))),
        -2);
    expectUntouched(-2, "Hash is wrong!");

    for (const QByteArray& content : {QByteArray(), QByteArray("not a firmware file at all"),
                                      files.packer.packJson(QJsonObject{{"MD5", "00"}}, 0)}) {
        forget();
        EXPECT_EQ(update(writeFile(content)), -1);
        expectUntouched(-1, "Can't decrypt file");
    }
    forget();
    EXPECT_EQ(update(files.dir.filePath("missing.firmware")), -1);
    EXPECT_EQ(instrument->rebootCount(), 0);
}

TEST_F(FirmwareUpdate, OnlyAStatusWordReadingZeroIsSuccess)
{
    const QString path = firmwareFile(makeImage(900), 0);
    instrument->setVerifyStatusOverride(1);
    EXPECT_EQ(update(path), -7);
    EXPECT_TRUE(log().contains("Verify firmware failed: 1"));
    EXPECT_EQ(recorder.notes.last().first, NotificationMessageType::Error);

    // An answer [260] without a status word is no confirmation.
    forget();
    instrument->setVerifyStatusOverride(std::nullopt);
    instrument->faults().noAnswerTo(FirmwareData, 1);
    instrument->injectInPacket(SimInstrument::toBytes(QByteArray("\x04\x01\x00\x00", 4)));
    EXPECT_EQ(update(path), -7);
    EXPECT_TRUE(log().contains("Verify firmware failed: answer carries no status (0 bytes)"));

    // The verify answer fails to arrive.
    forget();
    instrument->faults().pipeErrorOnAnswerTo(FirmwareData, 1);
    EXPECT_EQ(update(path), -7);
    EXPECT_EQ(instrument->rebootCount(), 0);
    EXPECT_TRUE(messages.last().isEmpty());
}

TEST_F(FirmwareUpdate, VerificationMayTakeLongerThanAPacketTimeOut)
{
    instrument->setVerifyDelay(std::chrono::milliseconds(1500));
    EXPECT_EQ(update(firmwareFile(makeImage(800), 0)), 0);
}

TEST_F(FirmwareUpdate, ATransferThatBreaksSendsNothingFurther)
{
    const QString path = firmwareFile(makeImage(3 * kChunk), 0);
    instrument->faults().shortWrite(FirmwareData, 100, 1);
    EXPECT_EQ(update(path), -5);
    EXPECT_EQ(messages.last(), "USB Error");
    EXPECT_EQ(instrument->receivedCommands(),
              (std::vector<uint32_t>{FirmwareStart, FirmwareChecksum, FirmwareData}));

    forget();
    instrument->clearReceived();
    instrument->faults().pipeErrorOn(FirmwareChecksum, 1);
    EXPECT_EQ(update(path), -5);
    EXPECT_EQ(instrument->receivedCommands(), (std::vector<uint32_t>{FirmwareStart}));
    EXPECT_TRUE(log().contains("Write checksum failed: LIBUSB_ERROR_PIPE"));
    EXPECT_EQ(instrument->rebootCount(), 0);
}

TEST_F(FirmwareUpdate, UnplugMidStreamEndsTheJobWithUsbError)
{
    const QString path = firmwareFile(makeImage(5 * kChunk), 0);
    instrument->faults().unplugAfterPackets(4); // size, checksum and two data packets arrive
    EXPECT_EQ(update(path), -5);
    EXPECT_EQ(dataPackets(), (std::vector<std::pair<quint32, int>>{{0, kChunk}, {760, kChunk}}));
    EXPECT_EQ(instrument->received().size(), 4u);
    EXPECT_EQ(instrument->rebootCount(), 0);
}

#endif

} // namespace
