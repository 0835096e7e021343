#include "core/MeasurementTableModel.h"

#include <QAbstractItemModelTester>
#include <gtest/gtest.h>

TEST(MeasurementTableModel, ColumnsRowsAndCellsOutsideTheTable)
{
    MeasurementTableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.setColumns({{QStringLiteral("序号"), 0, Qt::AlignLeft},
                      {QStringLiteral("水平角"), 3, Qt::AlignRight},
                      {QStringLiteral("竖直角"), 3, Qt::AlignCenter}});
    EXPECT_EQ(model.headers(), (QStringList{"序号", "水平角", "竖直角"}));

    // A row given fewer cells than there are columns shows the rest empty.
    model.append(QStringList{"1", "90°00′00″"});
    model.append(std::vector<QStringList>{{"2", "a", "b"}, {"3", "c", "d"}});
    ASSERT_EQ(model.count(), 3);
    EXPECT_EQ(model.cell(1, 1), QStringLiteral("90°00′00″"));
    EXPECT_EQ(model.cell(1, 2), QString());
    EXPECT_EQ(model.cell(3, 2), QStringLiteral("d"));
    EXPECT_EQ(model.data(model.index(1, 2)).toString(), QStringLiteral("b"));
    EXPECT_EQ(model.data(model.index(0, 2), Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignCenter);
    EXPECT_EQ(model.cell(0, 1), QString());
    EXPECT_EQ(model.cell(4, 1), QString());
    EXPECT_EQ(model.cell(1, -1), QString());

    // New columns take every row away; clearing rows keeps the columns.
    model.clearRows();
    EXPECT_EQ(model.count(), 0);
    EXPECT_EQ(model.columnCount(), 3);
    model.append(QStringList{"1"});
    model.setColumns({});
    EXPECT_EQ(model.count(), 0);
    EXPECT_EQ(model.columnCount(), 0);
}
