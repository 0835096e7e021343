#include "core/TableOperations.h"
#include "core/CoordinateTableModel.h"

#include <gtest/gtest.h>

namespace {
using DataType = TableOperations::DataType;

class TableOperationsTest : public ::testing::Test {
protected:
    void loadRows(const QStringList &numbers)
    {
        table.buildColumns(true);
        int seq = 0;
        for (const QString &number : numbers)
            table.append({QString::number(++seq), number, QStringLiteral("P"), QStringLiteral("1"),
                          QStringLiteral("2"), QStringLiteral("3")});
    }

    PointFields fields(const QString &number)
    {
        return {number, QStringLiteral("N1"), QStringLiteral("10.5"), QStringLiteral("20"),
                QStringLiteral("-1")};
    }

    bool nez = true;
    CoordinateTableModel table;
    TableOperations ops{table, [this] { return nez; }};
    TableOperations &state = ops; // the editor's modes
};
} // namespace

TEST_F(TableOperationsTest, NewSetsTheStateByDataType)
{
    loadRows({"1", "2", "3"});
    EXPECT_EQ(ops.NewPoint(DataType::Coordinates), QString());
    EXPECT_FALSE(state.TableIsNew);
    EXPECT_EQ(state.EditorMode, 0);
    EXPECT_EQ(state.NextSequence, 3);
    EXPECT_EQ(table.count(), 3); // the rows stay

    EXPECT_EQ(ops.NewPoint(DataType::Measurements), QString());
    EXPECT_EQ(state.EditorMode, 2);

    EXPECT_EQ(ops.NewPoint(DataType::None), QStringLiteral("请选择新建数据类型！"));
    EXPECT_EQ(state.EditorMode, 4);
}

TEST_F(TableOperationsTest, AddingRefusesANumberOfTheSameValue)
{
    loadRows({"012", "0"});
    ASSERT_EQ(ops.NewPoint(DataType::Coordinates), QString());
    EXPECT_EQ(ops.CommitPointEditor(fields("12"), 0).message, QStringLiteral("此点号已经存在！"));
    EXPECT_TRUE(ops.CommitPointEditor(fields("12"), 0).keepEditorOpen);
    EXPECT_EQ(ops.CommitPointEditor(fields("A"), 0).message, QStringLiteral("此点号已经存在！"));
    EXPECT_EQ(ops.CommitPointEditor(fields("12.0"), 0).message, QStringLiteral("此点号已经存在！"));
    EXPECT_EQ(table.count(), 2);

    const auto added = ops.CommitPointEditor(fields("0012A"), 0);
    EXPECT_EQ(added.message, QStringLiteral("此点号已经存在！"));
    const auto accepted = ops.CommitPointEditor(fields("13"), 0);
    EXPECT_EQ(accepted.message, QString());
    EXPECT_FALSE(accepted.keepEditorOpen);
    EXPECT_EQ(table.point(3), (CoordinatePoint{"3", "13", "N1", "10.5", "20", "-1"}));
    EXPECT_EQ(state.NextSequence, 3);
}

TEST_F(TableOperationsTest, AddingAnEmptyNumberIsRefused)
{
    ASSERT_EQ(ops.NewPoint(DataType::Coordinates), QString());
    EXPECT_EQ(table.columnCount(), 6); // New on an empty table builds the columns
    const auto result = ops.CommitPointEditor(fields(QString()), 0);
    EXPECT_EQ(result.message, QStringLiteral("点号不能为空！"));
    EXPECT_TRUE(result.keepEditorOpen);
    EXPECT_EQ(table.count(), 0);
}

TEST_F(TableOperationsTest, ChangeStoresTheShortestFormAndKeepsTheSequence)
{
    loadRows({"4", "5", "6"});
    ASSERT_EQ(ops.ChangeSelectedPoint(2), QString());
    EXPECT_TRUE(state.TableIsNew);
    EXPECT_EQ(state.EditRowIndex, 2);
    const auto result = ops.CommitPointEditor(fields("05"), 2);
    EXPECT_EQ(result.message, QString());
    EXPECT_EQ(table.point(2), (CoordinatePoint{"2", "5", "N1", "10.5", "20", "-1"}));

    ASSERT_EQ(ops.ChangeSelectedPoint(3), QString());
    EXPECT_EQ(ops.CommitPointEditor(fields("007"), 3).message, QString());
    EXPECT_EQ(table.cell(3, 1), QStringLiteral("7"));
}

TEST_F(TableOperationsTest, ChangeRefusesAnotherRowsNumberBeforeAnEmptyOne)
{
    loadRows({"A1", "5"});
    ASSERT_EQ(ops.ChangeSelectedPoint(2), QString());
    EXPECT_EQ(ops.CommitPointEditor(fields("4"), 2).message, QString());
    ASSERT_EQ(ops.ChangeSelectedPoint(2), QString());
    // Row 1 has the value 0 (A1), so an empty number is first a duplicate of it.
    EXPECT_EQ(ops.CommitPointEditor(fields(QString()), 2).message, QStringLiteral("此点号已经存在！"));
    // On the row that itself has the value 0 the empty number is what is refused.
    ASSERT_EQ(ops.ChangeSelectedPoint(1), QString());
    const auto result = ops.CommitPointEditor(fields(QString()), 1);
    EXPECT_EQ(result.message, QStringLiteral("点号不能为空！"));
    EXPECT_TRUE(result.keepEditorOpen);
}

TEST_F(TableOperationsTest, ChangeOfARowThatHasGoneIsRefused)
{
    loadRows({"1", "2"});
    ASSERT_EQ(ops.ChangeSelectedPoint(2), QString());
    table.buildColumns(true); // a receive started meanwhile
    const auto result = ops.CommitPointEditor(fields("9"), 0);
    EXPECT_FALSE(result.message.isEmpty());
    EXPECT_FALSE(result.keepEditorOpen);
    EXPECT_EQ(table.count(), 0);
}

TEST_F(TableOperationsTest, NothingSelectedToChangeOrDelete)
{
    EXPECT_EQ(ops.ChangeSelectedPoint(0), QStringLiteral("当前没有数据可以修改！"));
    EXPECT_EQ(ops.DeleteSelectedPoint(0), QStringLiteral("当前没有数据可以删除！"));
    loadRows({"1"});
    EXPECT_EQ(ops.ChangeSelectedPoint(2), QStringLiteral("当前没有数据可以修改！"));
    EXPECT_EQ(ops.DeleteSelectedPoint(2), QStringLiteral("当前没有数据可以删除！"));
    EXPECT_EQ(table.count(), 1);
}

TEST_F(TableOperationsTest, MeasurementDataAddsNothingAndNoTypeIsReported)
{
    loadRows({"1"});
    ASSERT_EQ(ops.NewPoint(DataType::Measurements), QString());
    EXPECT_EQ(ops.CommitPointEditor(fields("2"), 0).message, QString());
    EXPECT_EQ(table.count(), 1);

    state.TableIsNew = false;
    state.EditorMode = 4;
    const auto result = ops.CommitPointEditor(fields("2"), 0);
    EXPECT_EQ(result.message, QStringLiteral("请选择数据类型！"));
    EXPECT_FALSE(result.keepEditorOpen);
    EXPECT_EQ(table.count(), 1);
}

TEST_F(TableOperationsTest, SequenceNumbersStopAt32767)
{
    table.buildColumns(true);
    std::vector<CoordinatePoint> rows(32766, CoordinatePoint{"1", "1", "", "", "", ""});
    table.append(rows);
    ASSERT_EQ(ops.NewPoint(DataType::Coordinates), QString());
    EXPECT_EQ(ops.CommitPointEditor(fields("2"), 0).message, QString());
    EXPECT_EQ(table.cell(32767, 0), QStringLiteral("32767"));

    state.TableIsNew = true;
    const QString refusal = ops.NewPoint(DataType::Coordinates);
    EXPECT_TRUE(refusal.contains(QStringLiteral("32767"))) << refusal.toStdString();
    EXPECT_TRUE(state.TableIsNew); // nothing changed
    EXPECT_EQ(table.count(), 32767);
    // Measurement data adds nothing, so it is not limited.
    EXPECT_EQ(ops.NewPoint(DataType::Measurements), QString());
}

TEST_F(TableOperationsTest, DeleteRenumbersThePointNumbersButNotTheSequence)
{
    loadRows({"101", "102", "103", "104"});
    EXPECT_EQ(ops.DeleteSelectedPoint(3), QString());
    ASSERT_EQ(table.count(), 3);
    EXPECT_EQ(table.cell(1, 1), QStringLiteral("1"));
    EXPECT_EQ(table.cell(2, 1), QStringLiteral("2"));
    EXPECT_EQ(table.cell(3, 1), QStringLiteral("3"));
    EXPECT_EQ(table.cell(3, 0), QStringLiteral("4"));
}

TEST_F(TableOperationsTest, EditButtonsFollowTheNextSequence)
{
    loadRows({"1"});
    ASSERT_EQ(ops.ChangeSelectedPoint(1), QString());
    ASSERT_EQ(ops.CommitPointEditor(fields("1"), 1).message, QString());
    EXPECT_FALSE(ops.editButtonsEnabledAfterCommit()); // no point added by hand yet
    ASSERT_EQ(ops.NewPoint(DataType::Coordinates), QString());
    ASSERT_EQ(ops.CommitPointEditor(fields("2"), 0).message, QString());
    EXPECT_TRUE(ops.editButtonsEnabledAfterCommit());
}

TEST_F(TableOperationsTest, SampleRows)
{
    nez = false;
    ops.FillSampleRows();
    ASSERT_EQ(table.count(), 25);
    EXPECT_EQ(table.headers().at(3), QStringLiteral("坐标--E"));
    EXPECT_EQ(table.point(1), (CoordinatePoint{"1", "1", "1", "10", "66", "66"}));
    EXPECT_EQ(table.point(25), (CoordinatePoint{"25", "25", "25", "250", "66", "66"}));
    ops.ClearTable();
    EXPECT_EQ(table.count(), 0);
    EXPECT_EQ(table.columnCount(), 0);
}
