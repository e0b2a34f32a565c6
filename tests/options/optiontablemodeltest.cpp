#include "options/optiontablemodel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cstring>

namespace {
QVariant cell(const OptionTableModel& model, int row, int column, int role = Qt::DisplayRole)
{
    return model.data(model.index(row, column), role);
}
} // namespace

TEST(OptionTableModel, ShowsEachValueFourWays)
{
    struct Case
    {
        QByteArray value;
        QString hex;
        QVariant asInt;
        QVariant asFloat;
        QString text;
    };
    const auto single = [](quint32 bits) {
        float f = 0;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    };
    const Case cases[] = {
        {QByteArray("\x01\x00\x00\x00", 4), "01000000", 1, single(1), QString::fromLatin1("\x01\0\0\0", 4)},
        {QByteArray("\x00\x00\x80\xbf", 4), "000080bf", qint32(0xbf800000), -1.0f,
         QString::fromLatin1("\0\0\x80\xbf", 4)},
        {QByteArray("AB12\x00", 5), "4142313200", 0x32314241, single(0x32314241),
         QString::fromLatin1("AB12\0", 5)},
        // Short answers: no stray bytes are read for the number columns.
        {QByteArray("\x07\x01", 2), "0701", QVariant(), QVariant(), QString::fromLatin1("\x07\x01")},
    };
    for (const Case& c : cases) {
        OptionTableModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        model.setOptionValue(0x20000028u, c.value);
        ASSERT_EQ(model.rowCount(), 1) << c.hex.toStdString();
        EXPECT_EQ(cell(model, 0, 0).toString(), QStringLiteral("0x20000028"));
        EXPECT_EQ(cell(model, 0, 1).toString(), QStringLiteral("undefined"));
        EXPECT_EQ(cell(model, 0, 2).toString(), c.hex);
        EXPECT_EQ(cell(model, 0, 3), c.asInt) << c.hex.toStdString();
        EXPECT_EQ(cell(model, 0, 4).isValid(), c.asFloat.isValid());
        if (c.asFloat.isValid()) {
            EXPECT_FLOAT_EQ(cell(model, 0, 4).toFloat(), c.asFloat.toFloat()) << c.hex.toStdString();
        }
        EXPECT_EQ(cell(model, 0, 5).toString(), c.text);
        EXPECT_EQ(cell(model, 0, 2, Qt::EditRole).toString(), c.hex);
        EXPECT_FALSE(cell(model, 0, 2, Qt::ToolTipRole).isValid());
        EXPECT_FALSE(cell(model, 0, 6).isValid());
    }
}

TEST(OptionTableModel, RowsFollowValuesWithInsertRemoveAndChangeSignals)
{
    OptionTableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy layout(&model, &QAbstractItemModel::layoutChanged);

    model.setOptionName(2, QStringLiteral("second"));
    model.setOptionValue(1, QByteArray());       // unknown and empty: nothing
    model.setOptionValue(1, QByteArray("a"));    // row 0
    model.setOptionValue(2, QByteArray("bbbb")); // row 1
    model.setOptionValue(2, QByteArray("cccc")); // changed in place
    model.setOptionValue(2, QByteArray("cccc")); // read again, the same: nothing to repaint
    model.setOptionName(2, QStringLiteral("second"));
    EXPECT_EQ(inserted.count(), 2);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toModelIndex().row(), 1);
    EXPECT_EQ(cell(model, 1, 1).toString(), QStringLiteral("second"));
    EXPECT_EQ(cell(model, 1, 5).toString(), QStringLiteral("cccc"));

    model.setOptionValue(1, QByteArray()); // removes row 0
    EXPECT_EQ(removed.count(), 1);
    EXPECT_EQ(model.shownIds(), QList<quint32>{2});
    model.setOptionValue(1, QByteArray("z")); // comes back at the end
    EXPECT_EQ(model.shownIds(), (QList<quint32>{2, 1}));

    model.setOptionName(1, QStringLiteral("first")); // a late name repaints the existing row
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(cell(model, 1, 1).toString(), QStringLiteral("first"));
    EXPECT_EQ(layout.count(), 0);
}

TEST(OptionTableModel, RowsStandInTheGivenOrderWhateverOrderTheValuesArriveIn)
{
    struct Case
    {
        QList<quint32> order;
        QList<quint32> arrivals;
        QList<quint32> shown;
    };
    const Case cases[] = {
        {{0x30, 0x10, 0x20}, {0x20, 0x10, 0x30}, {0x30, 0x10, 0x20}},
        // Ids outside the order follow it, in arrival order.
        {{0x10, 0x20}, {0x99, 0x20, 0x98, 0x10}, {0x10, 0x20, 0x99, 0x98}},
        {{}, {3, 1, 2}, {3, 1, 2}},
    };
    for (const Case& c : cases) {
        OptionTableModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        model.setOrder(c.order);
        for (quint32 id : c.arrivals) {
            model.setOptionValue(id, QByteArray("v"));
        }
        EXPECT_EQ(model.shownIds(), c.shown);
        // Setting the order after the values re-sorts the rows already shown.
        OptionTableModel late;
        QAbstractItemModelTester lateTester(&late, QAbstractItemModelTester::FailureReportingMode::Fatal);
        for (quint32 id : c.arrivals) {
            late.setOptionValue(id, QByteArray("v"));
        }
        late.setOrder(c.order);
        EXPECT_EQ(late.shownIds(), c.shown);
    }
}

TEST(OptionTableModel, Headers)
{
    OptionTableModel model;
    const QStringList headers = {"ID",          "Description",  "Value Hex", "Value int",
                                 "Value float", "Value string", ""};
    for (int i = 0; i < headers.size(); ++i) {
        EXPECT_EQ(model.headerData(i, Qt::Horizontal).toString(), headers.at(i));
    }
    EXPECT_EQ(model.headerData(0, Qt::Vertical).toString(), QStringLiteral("1"));
    EXPECT_EQ(model.headerData(4, Qt::Vertical).toString(), QStringLiteral("5"));
    EXPECT_FALSE(model.headerData(0, Qt::Horizontal, Qt::ToolTipRole).isValid());
}
