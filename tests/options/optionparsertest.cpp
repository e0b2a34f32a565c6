#include "options/optionparser.h"
#include "core/loggerfactory.h"
#include "core/uisink.h"
#include "options/optionvalueencoding.h"
#include "testfiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <spdlog/spdlog.h>

namespace {

// Collects the log lines written while a test runs.
class LoggedTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { LoggerFactory::instance()->init(spdlog::level::trace, QString()); }

    void SetUp() override
    {
        QObject::connect(LoggerFactory::instance()->uiSink(), &UiSink::newMessage, &receiver,
                         [this](const QDateTime&, int level, const QString&, const QString& message) {
                             lines.append(QStringLiteral("%1 %2").arg(level).arg(message));
                         });
    }

    bool logged(const QString& line) const { return lines.contains(line); }
    int countOf(const QString& line) const { return int(lines.count(line)); }

    QObject receiver;
    QStringList lines;
};

QJsonDocument parse(const char* text)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << text;
    return document;
}

const char* const kDescription = R"({
  "basefirmware": "base.firmware",
  "devices": [
    {"device_type": 7},
    {"firmware": "orphan.firmware"},
    {"device_type": "TBX-SU", "functions": [{"name": "Sensor", "pcb_versions": "B1"}]},
    {"device_type": "TBX-CU", "firmware": "cu.firmware",
     "options": [{"id": "268435457", "type": "char_t", "value": "device"},
                 {"id": "268435456", "type": "uint32_t", "value": 1}],
     "functions": [
       {"name": "Standard", "pcb_versions": ["A1", 5, "B1"], "firmware": "standard.firmware",
        "options": [{"id": "268435457", "type": "char_t", "value": "function"}]},
       {"functionname": "Legacy", "pcb_versions": "B1"},
       {"name": "Hidden"},
       {"name": 12, "pcb_versions": "B1"},
       {"name": "Standard", "pcb_versions": "C1", "firmware": "second.firmware"}
     ]},
    {"device_type": "TBX-CU", "functions": [{"name": "Shadowed", "pcb_versions": "B1"}]},
    {"device_type": "VC-SU", "functions": {"name": "Single", "pcb_versions": "B1"}}
  ]
})";

using OptionParserTest = LoggedTest;

TEST_F(OptionParserTest, ListsFunctionsOfTheFirstMatchingDeviceForTheRevision)
{
    OptionParser parser(parse(kDescription), "TBX-CU", "B1");
    EXPECT_EQ(parser.baseFirmware(), "base.firmware");
    EXPECT_EQ(parser.functionNames(), (QStringList{"Standard", "Legacy"}));
    EXPECT_EQ(OptionParser(parse(kDescription), "TBX-CU", "C1").functionNames(), QStringList{"Standard"});
    EXPECT_TRUE(OptionParser(parse(kDescription), "XX", "B1").functionNames().isEmpty());

    // One line per element that does not match, before the match.
    EXPECT_TRUE(logged("1 JSON devices type 4"));
    EXPECT_TRUE(logged("1 invalid JSON value type 2, string required"));
    EXPECT_TRUE(logged("1 no device type found for TBX-CU"));
    EXPECT_TRUE(logged("1 no device description found for TBX-CU"));
}

TEST_F(OptionParserTest, DeviceTypesNeedArraysAndAMatchingPcbVersion)
{
    OptionParser parser(parse(kDescription), QString(), QString());
    // VC-SU has its functions as a single object, so it does not count; TBX-CU appears once.
    EXPECT_EQ(parser.deviceTypes("B1"), (QStringList{"TBX-SU", "TBX-CU"}));
    EXPECT_EQ(parser.deviceTypes("C1"), QStringList{"TBX-CU"});
    EXPECT_TRUE(parser.deviceTypes("b1").isEmpty());
    EXPECT_TRUE(parser.deviceTypes("5").isEmpty());

    const QJsonDocument single = parse(R"({"devices": {"device_type": "VC-SU",
                                       "functions": [{"name": "F", "pcb_versions": "B1"}]}})");
    OptionParser singleDevice(single, "VC-SU", "B1");
    EXPECT_EQ(singleDevice.functionNames(), QStringList{"F"});
    EXPECT_TRUE(singleDevice.deviceTypes("B1").isEmpty());
    EXPECT_TRUE(logged("1 JSON devices type 5"));
}

TEST_F(OptionParserTest, FirmwareAndOptionsFindFunctionsByNameOnly)
{
    OptionParser parser(parse(kDescription), "TBX-CU", "Z9");
    EXPECT_EQ(parser.firmware("Standard"), "standard.firmware");
    EXPECT_EQ(parser.firmware("Legacy"), "cu.firmware");
    EXPECT_EQ(parser.firmware("Hidden"), "cu.firmware");
    EXPECT_TRUE(parser.firmware("Shadowed").isEmpty());
    EXPECT_TRUE(parser.firmware("standard").isEmpty());

    const QJsonArray merged = parser.options("Standard");
    ASSERT_EQ(merged.size(), 2);
    EXPECT_EQ(merged[0].toObject().value("value").toString(), "function");
    EXPECT_EQ(merged[1].toObject().value("id").toString(), "268435456");
    EXPECT_EQ(parser.options("Hidden").size(), 2);
    EXPECT_TRUE(parser.options("Nothing").isEmpty());

    const QJsonDocument textIds =
        parse(R"({"devices": [{"device_type": "A", "options": [{"id": "7"}, {"id": "8"}],
                                        "functions": [{"name": "F", "options": [{"id": "07"}, {"id": "8"}]}]}]})");
    const QJsonArray byText = OptionParser(textIds, "A", QString()).options("F");
    ASSERT_EQ(byText.size(), 3);
    EXPECT_EQ(byText[2].toObject().value("id").toString(), "7");
}

TEST_F(OptionParserTest, DocumentsOfTheWrongShapeGiveEmptyResults)
{
    for (const char* text :
         {"[]", "{}", R"({"devices": "TBX-CU", "basefirmware": 3})", R"({"devices": [1, null, []]})",
          R"({"devices": [{"device_type": "TBX-CU", "functions": 5, "options": {}}]})"}) {
        OptionParser parser(parse(text), "TBX-CU", "B1");
        EXPECT_TRUE(parser.baseFirmware().isEmpty()) << text;
        EXPECT_TRUE(parser.functionNames().isEmpty()) << text;
        EXPECT_TRUE(parser.deviceTypes("B1").isEmpty()) << text;
        EXPECT_TRUE(parser.firmware("F").isEmpty()) << text;
        EXPECT_TRUE(parser.options("F").isEmpty()) << text;
    }
    EXPECT_TRUE(logged("1 JSON devices type 128"));
}

TEST_F(OptionParserTest, ReportsUnusableFiles)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("missing.json");
    EXPECT_TRUE(OptionParser(missing, QString(), QString()).document().isEmpty());
    EXPECT_TRUE(logged(QStringLiteral("4 unable to open file %1").arg(missing)));

    const QString empty = writeFile(dir.filePath("empty.json"));
    EXPECT_TRUE(OptionParser(empty, QString(), QString()).document().isEmpty());
    EXPECT_TRUE(logged(QStringLiteral("4 empty file given %1").arg(empty)));

    const QString broken = writeFile(dir.filePath("broken.json"), "{\"devices\": [}");
    EXPECT_TRUE(OptionParser(broken, QString(), QString()).document().isEmpty());
    EXPECT_TRUE(
        lines.filter(QStringLiteral("4 failed reading description file %1, error ").arg(broken)).size() == 1);

    const QString good = writeFile(dir.filePath("good.json"), kDescription);
    EXPECT_EQ(OptionParser(good, "TBX-CU", "B1").functionNames().size(), 2);
}

class OptionEncodingTest : public LoggedTest
{
protected:
    QByteArray encode(const char* type, const QJsonValue& value)
    {
        QJsonObject option{{"id", "268435460"}, {"type", QString::fromLatin1(type)}};
        if (!value.isUndefined()) {
            option.insert("value", value);
        }
        return encodeOptionValue(option);
    }
    int warnings() const { return int(lines.filter(QRegularExpression("^3 ")).size()); }
};

TEST_F(OptionEncodingTest, EncodesEachTypeLittleEndian)
{
    EXPECT_EQ(encode("uint16_t", 258).toHex(' '), QByteArray("02 01"));
    EXPECT_EQ(encode("uint32_t", -1).toHex(' '), QByteArray("ff ff ff ff"));
    EXPECT_EQ(encode("uint32_t", 0x12345678).toHex(' '), QByteArray("78 56 34 12"));
    EXPECT_EQ(encode("uint8_t", 200).toHex(' '), QByteArray("c8"));
    EXPECT_EQ(encode("uint8_t", -1).toHex(' '), QByteArray("ff"));
    EXPECT_EQ(encode("uint32_t[]", QJsonArray{1, 2}).toHex(' '), QByteArray("01 00 00 00 02 00 00 00"));
    EXPECT_TRUE(encode("uint32_t[]", QJsonArray{}).isEmpty());
    EXPECT_EQ(encode("char_t", "AB").toHex(' '), QByteArray("41 42"));
    EXPECT_EQ(encode("char_t", QString::fromUtf8("Grüße")), QByteArray("Gr\xfc\xdf"
                                                                       "e"));
    EXPECT_EQ(encode("float_t", 1.5).toHex(' '), QByteArray("00 00 c0 3f"));
    EXPECT_EQ(encode("float_t", -2).toHex(' '), QByteArray("00 00 00 c0"));
    EXPECT_EQ(warnings(), 0);
}

TEST_F(OptionEncodingTest, ValuesThatCannotBeStoredAsGivenAreEncodedByTheRulesAndReported)
{
    EXPECT_EQ(encode("uint32_t", 4294967295.0).toHex(' '), QByteArray("00 00 00 00"));
    EXPECT_TRUE(logged(QString("3 Option 268435460 of type uint32_t: value 4294967295 is no 32-bit signed "
                               "integer, stored as 0")));
    EXPECT_EQ(encode("uint32_t", 2.5).toHex(' '), QByteArray("00 00 00 00"));
    EXPECT_EQ(encode("uint16_t", "258").toHex(' '), QByteArray("00 00"));
    EXPECT_EQ(encode("uint8_t", QJsonValue()).toHex(' '), QByteArray("00"));
    EXPECT_EQ(warnings(), 4);

    EXPECT_EQ(encode("uint8_t", 255).toHex(' '), QByteArray("ff")); // fits: no warning
    EXPECT_EQ(encode("uint8_t", 256).toHex(' '), QByteArray("00"));
    EXPECT_TRUE(logged(QString("3 Option 268435460 of type uint8_t: value 256 does not fit, only its low "
                               "bytes are stored")));
    EXPECT_EQ(encode("uint32_t[]", QJsonArray{1, 1.5}).toHex(' '), QByteArray("01 00 00 00 00 00 00 00"));
    EXPECT_TRUE(encode("uint32_t[]", 5).isEmpty());
    EXPECT_EQ(encode("char_t", QString::fromUtf8("A€")), QByteArray("A?"));
    // The in-process sink hands text over as Latin-1, so only the ASCII part of the line is compared.
    EXPECT_EQ(lines.filter("of type char_t: value \"A")
                  .filter("holds characters outside Latin-1, stored as '?'")
                  .size(),
              1);
    EXPECT_TRUE(encode("char_t", 65).isEmpty());
    EXPECT_EQ(encode("float_t", "1.5").toHex(' '), QByteArray("00 00 00 00"));
    EXPECT_EQ(encode("float_t", 1e300).toHex(' '), QByteArray("00 00 80 7f"));
    EXPECT_EQ(warnings(), 11);
}

TEST_F(OptionEncodingTest, UnknownTypesGiveNoBytes)
{
    EXPECT_TRUE(encode("UINT8_T", 1).isEmpty());
    EXPECT_TRUE(encode("int32_t", 1).isEmpty());
    EXPECT_TRUE(logged("2 undefined value type int32_t"));
    EXPECT_TRUE(encodeOptionValue(QJsonObject()).isEmpty());
    EXPECT_TRUE(logged("2 undefined value type "));
}

} // namespace
