#include "options/optionfunctions.h"
#include "testfiles.h"

#include <QDir>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Option
{
    const char* id;
    const char* type;
    int value;
};

struct Function
{
    const char* name;
    std::vector<Option> options;
};

// An option description file offering `functions` to device type "SU", PCB type "C".
QJsonDocument describe(const std::vector<Function>& functions)
{
    QJsonArray list;
    for (const Function& f : functions) {
        QJsonArray options;
        for (const Option& o : f.options) {
            options.append(QJsonObject{{"id", o.id}, {"type", o.type}, {"value", o.value}});
        }
        list.append(QJsonObject{{"name", f.name}, {"pcb_versions", QJsonArray{"C"}}, {"options", options}});
    }
    return QJsonDocument(
        QJsonObject{{"basefirmware", "base.firmware"},
                    {"devices", QJsonArray{QJsonObject{{"device_type", "SU"}, {"functions", list}}}}});
}

QByteArray word(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

using Refusal = OptionFunctions::Refusal;

TEST(OptionFunctions, IdsThatTellFunctionsApartAndFunctionsThatCannotBeWritten)
{
    struct Case
    {
        const char* what;
        std::vector<Function> functions;
        QList<quint32> distinguishing;
        QList<quint32> recognition;
        Refusal::Reason lastRefused = Refusal::None; // of the last function
    };
    const Case cases[] = {
        {"one value differs",
         {{"A", {{"1", "uint32_t", 0}, {"2", "uint8_t", 5}}},
          {"B", {{"1", "uint32_t", 1}, {"2", "uint8_t", 5}}}},
         {1},
         {1}},
        {"one function lacks an id",
         {{"A", {{"1", "uint32_t", 0}}}, {"B", {{"1", "uint32_t", 0}, {"2", "uint8_t", 1}}}},
         {2},
         {2}},
        {"nothing tells them apart", {{"A", {{"2", "uint8_t", 5}, {"1", "uint32_t", 0}}}}, {}, {1, 2}},
        {"unknown type",
         {{"A", {{"1", "uint32_t", 0}}}, {"B", {{"1", "int64_t", 1}}}},
         {1},
         {1},
         Refusal::UnknownType},
        {"id no number",
         {{"A", {{"1", "uint32_t", 0}}}, {"B", {{"0x1", "uint32_t", 0}}}},
         {1},
         {1},
         Refusal::IdNotNumber},
    };
    for (const Case& c : cases) {
        OptionFunctions functions;
        ASSERT_EQ(functions.load(describe(c.functions), "SU", "C"), OptionFunctions::Loaded) << c.what;
        EXPECT_EQ(functions.names().size(), int(c.functions.size())) << c.what;
        EXPECT_EQ(functions.distinguishingIds(), c.distinguishing) << c.what;
        EXPECT_EQ(functions.recognitionIds(), c.recognition) << c.what;
        EXPECT_EQ(functions.refusal(functions.names().first()).reason, Refusal::None) << c.what;
        EXPECT_EQ(functions.refusal(functions.names().last()).reason, c.lastRefused) << c.what;
        EXPECT_EQ(functions.values(functions.names().last()).isEmpty(), c.lastRefused != Refusal::None)
            << c.what;
    }
}

TEST(OptionFunctions, RecognisesTheFunctionABoardStores)
{
    OptionFunctions two;
    two.load(describe({{"A", {{"1", "uint32_t", 0}, {"2", "uint8_t", 5}}},
                       {"B", {{"1", "uint32_t", 1}, {"2", "uint8_t", 5}}},
                       {"C", {{"2", "uint8_t", 6}}}}),
             "SU", "C");
    OptionFunctions single;
    single.load(describe({{"Solo", {{"1", "uint32_t", 7}}}}), "SU", "C");
    struct Case
    {
        const char* what;
        const OptionFunctions& functions;
        QHash<quint32, QByteArray> stored;
        std::optional<QString> recognised;
    };
    const Case cases[] = {
        {"a value still missing", two, {{1, word(0)}}, std::nullopt},
        {"first", two, {{1, word(0)}, {2, QByteArray(1, 5)}}, QString("A")},
        {"second", two, {{1, word(1)}, {2, QByteArray(1, 5)}}, QString("B")},
        {"lacking a distinguishing id", two, {{1, word(2)}, {2, QByteArray(1, 6)}}, QString()},
        {"length counts", two, {{1, QByteArray(1, 0)}, {2, QByteArray(1, 5)}}, QString()},
        {"blank board", single, {{1, QByteArray()}}, QString()},
        {"single function", single, {{1, word(7)}}, QString("Solo")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.functions.recognise(c.stored), c.recognised) << c.what;
    }
    EXPECT_EQ(two.values("A"), (QHash<quint32, QByteArray>{{1, word(0)}, {2, QByteArray(1, 5)}}));
}

TEST(OptionFunctions, LoadingSaysWhyNothingIsOffered)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_EQ(OptionFunctions().load(QString(), "SU", "C"), OptionFunctions::NoDirectory);
    EXPECT_EQ(OptionFunctions().load(dir.path(), "SU", "C"), OptionFunctions::NoFile);
    writeFile(OptionFunctions::filePath(dir.path()), "not enciphered");
    EXPECT_EQ(OptionFunctions().locate(dir.path()), OptionFunctions::Loaded);
    OptionFunctions functions;
    functions.load(describe({{"A", {{"1", "uint32_t", 0}}}}), "SU", "C");
    EXPECT_EQ(functions.load(dir.path(), "SU", "C"), OptionFunctions::Unreadable);
    EXPECT_TRUE(functions.names().isEmpty()); // nothing of the previous file stays

    // Without a device type or PCB type no function is offered, but the file's base firmware is known.
    EXPECT_EQ(functions.load(describe({{"A", {{"1", "uint32_t", 0}}}}), "SU", QString()),
              OptionFunctions::Loaded);
    EXPECT_TRUE(functions.names().isEmpty());
    EXPECT_EQ(functions.baseFirmware(), QStringLiteral("base.firmware"));
    EXPECT_EQ(functions.deviceTypes("C"), QStringList{"SU"});
}

} // namespace
