// The snapshot file: what is written reads back the same, and what is not a snapshot is refused with a
// reason rather than restored half.
#include "options/optionssnapshot.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

OptionsSnapshot sample()
{
    OptionsSnapshot snapshot;
    snapshot.kind = QStringLiteral("control-unit");
    snapshot.usbId = 0x1E843000;
    snapshot.serial = QStringLiteral("TCU-21/00042 ä");
    snapshot.firmwareVersion = QStringLiteral("1.4.2");
    snapshot.hardwareRevision = QStringLiteral("C");
    snapshot.systemId = QStringLiteral("0000-1111-2222-3333");
    snapshot.chipId = QStringLiteral("2A0047001151353432383331");
    snapshot.takenAt = QDateTime(QDate(2026, 12, 6), QTime(21, 2, 29), Qt::UTC);
    snapshot.options = {{0x10000004, QStringLiteral("e_sid_DeviceSerialNumber"), QByteArray("TCU\0x", 5)},
                        {0x20000001, QStringLiteral("e_sid_Sheath"), QByteArray::fromHex("00010000")},
                        {0xFFFFFFFF, QString(), QByteArray()}};
    snapshot.unknownIds = {0x28100007, 0x10000002};
    return snapshot;
}

TEST(OptionsSnapshot, RoundTripsEveryFieldAndByte)
{
    const OptionsSnapshot written = sample();
    QString error;
    const OptionsSnapshot read = OptionsSnapshot::fromJson(written.toJson(), &error);
    ASSERT_TRUE(read.isValid()) << error.toStdString();
    EXPECT_EQ(read.kind, written.kind);
    EXPECT_EQ(read.usbId, written.usbId);
    EXPECT_EQ(read.serial, written.serial);
    EXPECT_EQ(read.firmwareVersion, written.firmwareVersion);
    EXPECT_EQ(read.hardwareRevision, written.hardwareRevision);
    EXPECT_EQ(read.systemId, written.systemId);
    EXPECT_EQ(read.chipId, written.chipId);
    EXPECT_EQ(read.unknownIds, written.unknownIds);
    EXPECT_EQ(read.coverage(), QStringLiteral("3 of 5 options, 2 not known to the firmware"));
    EXPECT_EQ(read.takenAt, written.takenAt);
    ASSERT_EQ(read.options.size(), written.options.size());
    for (int i = 0; i < read.options.size(); ++i) {
        EXPECT_EQ(read.options[i].id, written.options[i].id);
        EXPECT_EQ(read.options[i].name, written.options[i].name);
        EXPECT_EQ(read.options[i].value, written.options[i].value);
    }
    const QJsonObject root = QJsonDocument::fromJson(written.toJson()).object();
    EXPECT_EQ(root.value("time").toString(), QStringLiteral("2026-12-06T21:02:29Z"));
    EXPECT_EQ(root.value("device").toObject().value("usbId").toString(), QStringLiteral("0x1e843000"));
}

TEST(OptionsSnapshot, FileNameIsSafeAndSortsByTime)
{
    EXPECT_EQ(sample().fileName(), QStringLiteral("control-unit-TCU-21_00042__-20261206T210229Z.json"));
    // Without a serial the system id tells instruments apart, else the chip id.
    OptionsSnapshot blank = sample();
    blank.serial.clear();
    blank.kind = QStringLiteral("../x");
    EXPECT_EQ(blank.fileName(), QStringLiteral(".._x-0000-1111-2222-3333-20261206T210229Z.json"));
    blank.systemId = QStringLiteral("0000-0000-0000-0000");
    EXPECT_EQ(blank.fileName(), QStringLiteral(".._x-2A0047001151353432383331-20261206T210229Z.json"));
    blank.chipId.clear();
    EXPECT_EQ(blank.fileName(), QStringLiteral(".._x-no-serial-20261206T210229Z.json"));
}

TEST(OptionsSnapshot, DifferencesAreTheValuesARestoreWouldWrite)
{
    const OptionsSnapshot target = sample();
    OptionsSnapshot now = sample();
    now.options[1].value = QByteArray::fromHex("00020000");
    now.options.removeLast();
    QList<quint32> ids;
    for (const OptionsSnapshot::Option& option : target.differences(now)) {
        ids << option.id;
    }
    EXPECT_EQ(ids, (QList<quint32>{0x20000001, 0xFFFFFFFF}));
    EXPECT_TRUE(target.differences(target).isEmpty());
}

TEST(OptionsSnapshot, RefusesWhatIsNotASnapshot)
{
    const QByteArray good = sample().toJson();
    auto edited = [&](const char* from, const char* to) { return QByteArray(good).replace(from, to); };
    const struct
    {
        QByteArray json;
        const char* reason;
    } cases[] = {
        {QByteArray("{"), "not a JSON document"},
        {QByteArray("[]"), "not a JSON document"},
        {edited("tessor-options-snapshot", "other"), "not an options snapshot"},
        {edited("\"version\": 1", "\"version\": 2"), "version 2"},
        {edited("\"kind\": \"control-unit\"", "\"kind\": \"\""), "no device kind"},
        {edited("0x1e843000", "1e843000"), "USB id"},
        {edited("2026-12-06T21:02:29Z", "yesterday"), "time"},
        {edited("\"options\": [", "\"options\": 3, \"x\": ["), "no option list"},
        {edited("0x20000001", "0x2000000G"), "option 2: the id"},
        {edited("0x20000001", "0x1200000001"), "option 2: the id"},
        {edited("00010000", "0001000"), "option 2 (0x20000001): the value"},
        {edited("00010000", "0001000z"), "option 2 (0x20000001): the value"},
        {edited("0xffffffff", "0x20000001"), "appears twice"},
        {edited("\"0x28100007\"", "\"0x20000001\""), "appears twice"},
        {edited("\"0x28100007\"", "7"), "unknown option 1: the id"},
    };
    for (const auto& c : cases) {
        QString error;
        const OptionsSnapshot read = OptionsSnapshot::fromJson(c.json, &error);
        EXPECT_FALSE(read.isValid()) << c.reason;
        EXPECT_TRUE(error.contains(QLatin1String(c.reason))) << c.reason << " / " << error.toStdString();
    }
}

} // namespace
