#include "core/CoordinateTableModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {
CoordinatePoint row(const char *seq, const char *number, const char *name = "P", const char *first = "1.0",
                    const char *second = "2.0", const char *height = "3.0")
{
    return {QString::fromUtf8(seq),   QString::fromUtf8(number), QString::fromUtf8(name),
            QString::fromUtf8(first), QString::fromUtf8(second), QString::fromUtf8(height)};
}

QStringList headerTexts(const CoordinateTableModel &model)
{
    QStringList texts;
    for (int c = 0; c < model.columnCount(); ++c)
        texts << model.headerData(c, Qt::Horizontal).toString();
    return texts;
}
} // namespace

TEST(CoordinateTableModel, StartsWithoutColumnsAndBuildsThemInTheChosenOrder)
{
    CoordinateTableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(model.columnCount(), 0);
    EXPECT_EQ(model.rowCount(), 0);

    model.buildColumns(true);
    EXPECT_EQ(headerTexts(model), (QStringList{"序号", "点 号", "点 名", "坐标--N", "坐标--E", "坐标--Z"}));
    model.buildColumns(false);
    EXPECT_EQ(headerTexts(model), (QStringList{"序号", "点 号", "点 名", "坐标--E", "坐标--N", "坐标--Z"}));
}

TEST(CoordinateTableModel, RowsAreAddressedFromOne)
{
    CoordinateTableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.buildColumns(true);
    model.append(row("1", "101", "K1", "4538210.123", "512345.5", "88.25"));
    model.append(std::vector<CoordinatePoint>{row("2", "102"), row("3", "103")});
    ASSERT_EQ(model.count(), 3);
    EXPECT_EQ(model.point(1), row("1", "101", "K1", "4538210.123", "512345.5", "88.25"));
    EXPECT_EQ(model.cell(3, 1), QStringLiteral("103"));
    EXPECT_EQ(model.cell(1, 5), QStringLiteral("88.25"));
    EXPECT_EQ(model.data(model.index(0, 2)).toString(), QStringLiteral("K1"));

    // Outside the table: empty, and nothing changes.
    EXPECT_EQ(model.point(0), CoordinatePoint{});
    EXPECT_EQ(model.point(4), CoordinatePoint{});
    EXPECT_EQ(model.cell(1, 6), QString());
    EXPECT_EQ(model.cell(1, -1), QString());
    model.setCell(4, 1, QStringLiteral("x"));
    model.remove(0);
    model.remove(4);
    EXPECT_EQ(model.count(), 3);

    model.setCell(2, 2, QStringLiteral("changed"));
    EXPECT_EQ(model.point(2), row("2", "102", "changed"));
    model.remove(1);
    EXPECT_EQ(model.cell(1, 1), QStringLiteral("102"));
    EXPECT_EQ(model.cell(2, 1), QStringLiteral("103"));
}

TEST(CoordinateTableModel, EmptyCellsAndSeparatorsInsideACellKeepTheirPlace)
{
    CoordinateTableModel model;
    model.buildColumns(true);
    model.append(row("1", "", "", "", "", ""));
    model.append(row("2", "7",
                     "A\x1F"
                     "B",
                     "1", "2", "3"));
    EXPECT_EQ(model.point(1), row("1", "", "", "", "", ""));
    EXPECT_EQ(model.cell(2, 3), QStringLiteral("1"));
    EXPECT_EQ(model.cell(2, 5), QStringLiteral("3"));
}

TEST(CoordinateTableModel, ClearLeavesNoColumnsAndBuildEmptiesTheRows)
{
    CoordinateTableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.buildColumns(true);
    model.append(row("1", "1"));
    model.buildColumns(true);
    EXPECT_EQ(model.count(), 0);
    EXPECT_EQ(model.columnCount(), 6);
    model.append(row("1", "1"));
    model.clear();
    EXPECT_EQ(model.count(), 0);
    EXPECT_EQ(model.columnCount(), 0);
    EXPECT_FALSE(model.hasColumns());
}

// A scan over every row takes a row's cells in one pass; they are the cells one by one.
TEST(CoordinateTableModel, AllCellsOfARowAtOnce)
{
    CoordinateTableModel model;
    model.buildColumns(true);
    model.append(row("1", "12", "", "-3.5", "4", ""));
    const auto cells = model.cellViews(1);
    for (int column = 0; column < CoordinateTableModel::kColumnCount; ++column)
        EXPECT_EQ(cells[static_cast<size_t>(column)], model.cellView(1, column)) << column;
    EXPECT_EQ(cells[3], QStringLiteral("-3.5"));
    for (QStringView cell : model.cellViews(2))
        EXPECT_TRUE(cell.isEmpty());
}

// The lines of a file read without fields: one item per line, nothing in the sub-items, no headers.
TEST(CoordinateTableModel, APlainListShowsEachRowsOwnTextOnly)
{
    CoordinateTableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.clear();
    model.append(row("1,P1,10,20,30", ""));
    model.append(row("  0", ""));
    model.showAsPlainList();
    EXPECT_TRUE(model.isPlainList());
    EXPECT_FALSE(model.hasColumns());
    EXPECT_EQ(model.columnCount(), 1);
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), QStringLiteral("1,P1,10,20,30"));
    EXPECT_EQ(model.data(model.index(1, 0)).toString(), QStringLiteral("  0"));
    EXPECT_EQ(model.cell(1, 1), QString());
    EXPECT_EQ(model.cellViews(1)[0], QStringLiteral("1,P1,10,20,30"));
    EXPECT_EQ(model.cellViews(1)[1], QString());

    // A table with columns is never a plain list; building the columns or clearing ends it.
    model.buildColumns(true);
    EXPECT_FALSE(model.isPlainList());
    model.showAsPlainList();
    EXPECT_FALSE(model.isPlainList());
    EXPECT_EQ(model.columnCount(), 6);
    model.clear();
    model.showAsPlainList();
    model.clear();
    EXPECT_FALSE(model.isPlainList());
    EXPECT_EQ(model.columnCount(), 0);
}

TEST(CoordinateTableModel, RenumberingSetsThePointNumbersToTheRowNumbers)
{
    CoordinateTableModel model;
    model.buildColumns(true);
    model.append(
        std::vector<CoordinatePoint>{row("1", "101", "a"), row("2", "", "b"), row("3", "1034567", "c")});
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.renumberPointNumbers();
    EXPECT_EQ(model.point(1), row("1", "1", "a"));
    EXPECT_EQ(model.point(2), row("2", "2", "b"));
    EXPECT_EQ(model.point(3), row("3", "3", "c"));
    EXPECT_EQ(changed.count(), 1);
}

TEST(CoordinateTableModel, AlignmentAndRelativeWidthsOfTheColumns)
{
    CoordinateTableModel model;
    model.buildColumns(true);
    model.append(row("1", "1"));
    const int left = int(Qt::AlignLeft | Qt::AlignVCenter);
    const int centre = int(Qt::AlignCenter);
    const int right = int(Qt::AlignRight | Qt::AlignVCenter);
    const int expected[6] = {left, centre, centre, right, right, right};
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(model.data(model.index(0, c), Qt::TextAlignmentRole).toInt(), expected[c]) << c;
        EXPECT_EQ(model.headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).toInt(), expected[c]) << c;
    }
    // Three, three, four, four and four units of the list width / 18; the sequence column practically none.
    EXPECT_EQ(CoordinateTableModel::relativeWidth(0), 0.0);
    EXPECT_EQ(CoordinateTableModel::relativeWidth(1), 3.0);
    EXPECT_EQ(CoordinateTableModel::relativeWidth(2), 3.0);
    EXPECT_EQ(CoordinateTableModel::relativeWidth(3), 4.0);
    EXPECT_EQ(CoordinateTableModel::relativeWidth(4), 4.0);
    EXPECT_EQ(CoordinateTableModel::relativeWidth(5), 4.0);
}

// A cell changed to a shorter or equal text is rewritten where the row stands, a longer one moves the
// row: either way its other cells, and the rows around it, stay as they were.
TEST(CoordinateTableModel, ACellChangedLeavesEveryOtherCellAsItWas)
{
    const CoordinatePoint before = row("7", "101", "K1", "4538210.123", "512345.5", "88.25");
    for (int column = 0; column < CoordinateTableModel::kColumnCount; ++column) {
        for (const char *text : {"", "x", "abc", "a much longer text than any cell"}) {
            CoordinateTableModel model;
            model.buildColumns(true);
            model.append(std::vector<CoordinatePoint>{row("1", "1"), before, row("3", "3")});
            model.setCell(2, column, QString::fromUtf8(text));
            CoordinatePoint expected = before;
            QString *cells[] = {&expected.sequence, &expected.number, &expected.name,
                                &expected.first,    &expected.second, &expected.height};
            *cells[column] = QString::fromUtf8(text);
            EXPECT_EQ(model.point(2), expected) << "column " << column << " " << text;
            EXPECT_EQ(model.point(1), row("1", "1"));
            EXPECT_EQ(model.point(3), row("3", "3"));
        }
    }
}

// Rows changed over and over leave their old texts behind; once those outweigh the rows, the rows
// are gathered afresh, and none is lost or mixed up.
TEST(CoordinateTableModel, RowsChangedManyTimesKeepTheirLastTexts)
{
    CoordinateTableModel model;
    model.buildColumns(true);
    constexpr int kRows = 2000;
    for (int i = 1; i <= kRows; ++i)
        model.append(row("1", "1"));
    for (int round = 1; round <= 4; ++round) {
        for (int i = 1; i <= kRows; ++i) {
            const QString n = QString::number(i);
            const QString padding(100 * round, u'x');
            model.setPoint(i, {n, "P" + n, padding, n + ".5", "-" + n, QString::number(round)});
        }
    }
    model.remove(1);
    ASSERT_EQ(model.count(), kRows - 1);
    for (int i = 2; i <= kRows; ++i) {
        const QString n = QString::number(i);
        EXPECT_EQ(model.point(i - 1),
                  CoordinatePoint({n, "P" + n, QString(400, u'x'), n + ".5", "-" + n, "4"}));
    }
}
