// The dataset jobs against the simulated control unit on the emulated USB bus, through the real
// UsbDevice and libusb: the store arrives whole or not at all, and a clear is one OUT transfer.

#include "devices/controlunit.h"
#include "devices/jobs/cleardatasetsjob.h"
#include "devices/jobs/readdatasetsjob.h"
#include "measurements/parsedatasetrecords.h"
#include "sim/datasetstoreimage.h"
#include "sim/simprotocol.h"
#include "sim/usbfs/simusbfixture.h"
#include "usb/usbdevice.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>
#include <libusb.h>

#include <functional>
#include <memory>

namespace {

using SimProtocol::ClearDataSets;
using SimProtocol::ReadDataSets;

// One dated series of `points` points: 84 + 144 * points bytes behind the 16-byte header. With 35
// points the image is 5124 bytes, five full 1024-byte packets and one of 4 bytes.
QByteArray storeImage(int points)
{
    DatasetStoreImage image;
    DatasetStoreImage::Series series;
    series.text = "19-05-01 13:45";
    for (int i = 0; i < points; ++i) {
        DatasetStoreImage::Point point;
        point.depth = float(i);
        point.gpsText = DatasetStoreImage::rmcSentence(
            48.1173, -11.5, QDateTime(QDate(2019, 5, 1), QTime(12, 0, i), Qt::UTC));
        series.points.append(point);
    }
    image.series = {series};
    return image.build();
}

int pointCount(const QList<VectarisDataset>& datasets)
{
    int count = 0;
    for (const VectarisDataset& dataset : datasets)
        count += dataset.points.size();
    return count;
}

class DatasetJobs : public SimUsbFixture
{
protected:
    void SetUp() override
    {
        SimUsbFixture::SetUp();
        plugFresh();
    }

    // A fresh unit on the bus with the transport open on it: nothing left over from an earlier stream.
    void plugFresh()
    {
        usb.reset();
        if (unit) {
            bus().unplug(unit);
        }
        unit = plugControlUnit();
        usb = std::make_unique<UsbDevice>(libusbDevice(unit), QStringLiteral("Control Unit"), false);
        usb->open();
        ASSERT_TRUE(usb->isOpen());
    }

    void TearDown() override
    {
        usb.reset();
        SimUsbFixture::TearDown();
    }

    std::unique_ptr<ReadDataSetsJob> read()
    {
        auto job = std::make_unique<ReadDataSetsJob>();
        job->execute(usb.get());
        return job;
    }

    std::shared_ptr<SimControlUnit> unit;
    std::unique_ptr<UsbDevice> usb;
};

TEST_F(DatasetJobs, ReadsTheWholeStoreAcrossPackets)
{
    const QByteArray image = storeImage(35);
    ASSERT_EQ(image.size(), 5 * 1024 + 4);
    unit->setDatasetStoreImage(image);
    const auto job = read();
    EXPECT_EQ(job->result(), 0);
    // The final 4-byte packet is not the end code: it is data, and the last record is complete.
    ASSERT_EQ(job->datasets().size(), 1);
    EXPECT_EQ(job->datasets().at(0).points.size(), 35);
    EXPECT_EQ(job->datasets().at(0).points.at(34).depth, 34.0f);
    EXPECT_TRUE(job->datasets().at(0).points.at(34).position.isValid());
    EXPECT_EQ(job->datasets().at(0).date, QDateTime(QDate(2019, 5, 1), QTime(13, 45), Qt::UTC));

    const std::vector<SimProtocol::Bytes> received = unit->received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received.at(0), (SimProtocol::Bytes{0x16, 0x01, 0, 0, 0x02, 0x04, 0, 0})); // [278][1026]
}

// One stream per row, each on a fresh unit: how it ends decides the result and what is handed on.
TEST_F(DatasetJobs, EachWayTheStreamEndsGivesItsResultAndPoints)
{
    const auto none = [](SimFaults&) {};
    const struct
    {
        const char* what;
        int stored; // points in the unit's store, -1 for an empty store
        std::function<void(SimFaults&)> fault;
        int result;
        int points;
        bool restLeft; // what followed the end is left for the next reader
    } cases[] = {
        {"the end packet alone", -1, none, 0, 0, false},
        // 1024 bytes: the slot header and six complete records; the seventh is cut and dropped.
        {"an end packet after the first", 35, [](SimFaults& f) { f.endCodeInStream(ReadDataSets, 1, 1); }, 0,
         6, true},
        {"a zero-length packet", 35, [](SimFaults& f) { f.zeroLengthPacketInStream(ReadDataSets, 2, 1); }, 0,
         (2048 - 84) / 144, false},
        {"breaks off", 35, [](SimFaults& f) { f.stopStreamAfter(ReadDataSets, 2, 1); }, LIBUSB_ERROR_TIMEOUT,
         0, false},
        {"the request stalls", 3, [](SimFaults& f) { f.pipeErrorOn(ReadDataSets, 1); }, LIBUSB_ERROR_PIPE, 0,
         false},
        // A failing first receive is a failure, not an empty store.
        {"the first answer stalls", -1, [](SimFaults& f) { f.pipeErrorOnAnswerTo(ReadDataSets, 1); },
         LIBUSB_ERROR_PIPE, 0, false},
        {"no answer within ten seconds: an empty store", 3,
         [](SimFaults& f) { f.noAnswerTo(ReadDataSets, 1); }, 0, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        plugFresh();
        unit->setDatasetStoreImage(c.stored < 0 ? QByteArray() : storeImage(c.stored));
        c.fault(unit->faults());
        const auto job = read();
        EXPECT_EQ(job->result(), c.result);
        EXPECT_EQ(pointCount(job->datasets()), c.points);
        if (c.restLeft) {
            QByteArray next;
            EXPECT_EQ(usb->receiveData(next, 250), LIBUSB_SUCCESS);
            EXPECT_EQ(next.size(), 1024);
        }
    }
    ReadDataSetsJob detached;
    detached.execute(nullptr);
    EXPECT_EQ(detached.result(), LIBUSB_ERROR_NO_DEVICE);
}

TEST_F(DatasetJobs, ClearIsOneRequestWithoutAnswer)
{
    unit->setDatasetStoreImage(storeImage(3));
    ClearDataSetsJob clear;
    EXPECT_EQ(clear.name(), QStringLiteral("ClearDataSetsJob"));
    clear.execute(usb.get());
    EXPECT_EQ(clear.result(), 0);
    EXPECT_EQ(unit->datasetClearCount(), 1);
    ASSERT_EQ(unit->received().size(), 1u);
    EXPECT_EQ(unit->received().at(0),
              (SimProtocol::Bytes{0x18, 0x01, 0, 0, 0x02, 0x04, 0, 0})); // [280][1026]

    unit->faults().pipeErrorOn(ClearDataSets, 1);
    ClearDataSetsJob failing;
    failing.execute(usb.get());
    EXPECT_EQ(failing.result(), LIBUSB_ERROR_PIPE);
    EXPECT_EQ(unit->datasetClearCount(), 1);
    // A failed clear reaches the user, not only the log, and names the cause.
    EXPECT_TRUE(failing.resultMessage(failing.result()).contains(QStringLiteral("LIBUSB_ERROR_PIPE")));
    EXPECT_NE(failing.resultMessage(failing.result()), clear.resultMessage(0));
}

// Through the control unit's own slots and its worker thread: a good read is published once, as a
// queued signal; a broken read publishes nothing and says so; a clear is followed by a fresh read, so
// that what is published afterwards is what is left on the unit.
TEST_F(DatasetJobs, ControlUnitPublishesOnlyCompleteReadsAndRereadsAfterAClear)
{
    usb.reset();
    unit->setDatasetStoreImage(storeImage(35));
    auto device = std::make_unique<ControlUnit>(libusbDevice(unit));
    QSignalSpy connected(device.get(), &BaseDevice::connected);
    QSignalSpy results(device.get(), &BaseDevice::jobResult);
    QSignalSpy published(device.get(), &ControlUnit::datasetsChanged);
    device->init();
    ASSERT_TRUE(connected.count() > 0 || connected.wait(20000));
    QTRY_COMPARE_WITH_TIMEOUT(device->pendingJobCount(), 0, 10000);

    device->updateDataSets();
    ASSERT_TRUE(published.wait(10000));
    const QList<VectarisDataset> datasets = published.at(0).at(0).value<QList<VectarisDataset>>();
    EXPECT_EQ(pointCount(datasets), 35);

    unit->faults().stopStreamAfter(ReadDataSets, 1, 1);
    device->updateDataSets();
    QTRY_COMPARE_WITH_TIMEOUT(device->pendingJobCount(), 0, 10000);
    EXPECT_EQ(published.count(), 1);
    device->removeDataSets();
    ASSERT_TRUE(published.wait(10000));
    QTRY_COMPARE_WITH_TIMEOUT(device->pendingJobCount(), 0, 10000);
    EXPECT_EQ(published.count(), 2);
    EXPECT_TRUE(published.at(1).at(0).value<QList<VectarisDataset>>().isEmpty());
    EXPECT_EQ(unit->datasetClearCount(), 1);

    struct Outcome
    {
        QString name;
        int code;
        bool hasMessage;
    };
    QList<Outcome> outcomes;
    for (const QList<QVariant>& result : results)
        outcomes.append({result.at(0).toString(), result.at(1).toInt(), !result.at(2).toString().isEmpty()});
    ASSERT_GE(outcomes.size(), 4);
    const Outcome expected[] = {{QStringLiteral("ReadDataSetsJob"), 0, false},
                                {QStringLiteral("ReadDataSetsJob"), LIBUSB_ERROR_TIMEOUT, true},
                                {QStringLiteral("ClearDataSetsJob"), 0, true},
                                {QStringLiteral("ReadDataSetsJob"), 0, false}};
    const QList<Outcome> last = outcomes.mid(outcomes.size() - 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(last.at(i).name, expected[i].name) << i;
        EXPECT_EQ(last.at(i).code, expected[i].code) << i;
        EXPECT_EQ(last.at(i).hasMessage, expected[i].hasMessage) << i;
    }
    device.reset();
}

} // namespace
