#include "core/SendCheck.h"
#include "core/CoordinateTableModel.h"
#include "rqx2/Rqx2CoordinateRecord.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

// The check that runs before a coordinate send: every row, the first problem named.
class SendCheckTest : public ::testing::Test {
protected:
    void build(bool nez = true) { table.buildColumns(nez); }
    void add(const QString &number, const QString &name, const QString &first, const QString &second,
             const QString &height)
    {
        table.append(
            CoordinatePoint{QString::number(table.count() + 1), number, name, first, second, height});
    }
    void addPlainRows(int count)
    {
        std::vector<CoordinatePoint> rows(static_cast<size_t>(count),
                                          CoordinatePoint{"1", "1", "A", "1.0", "2.0", "3.0"});
        table.append(rows);
    }
    QString rqx2Check() const { return CheckRowsForSend(table, Rqx2CoordinateRecord::sendLimits()); }

    CoordinateTableModel table;
};

TEST_F(SendCheckTest, TableTheInstrumentCanTakePasses)
{
    build();
    add("P1", "A", "1234.567", "-45.5", "12.3");
    add("ABCDEFGHI", "", "1234.5678", "5.", "0.25");
    add("1", "a b", "123456789.12345", "-12345678", "");
    EXPECT_EQ(rqx2Check(), "");
    table.clear();
    EXPECT_EQ(rqx2Check(), "");
}

TEST_F(SendCheckTest, FirstCharacterTheInstrumentCannotCarryIsNamed)
{
    build();
    add("P1", "A", "1", "2", "3");
    add("P_2", "桩", "1", "2", "3");
    add("P3", "桩", "1", "2", "3");
    EXPECT_EQ(rqx2Check(), "第2行的点号“P_2”含有仪器不能接收的字符“_”，请修改后再发送！");

    table.setCell(2, 1, "P2");
    EXPECT_EQ(rqx2Check(), "第2行的点名“桩”含有仪器不能接收的字符“桩”，请修改后再发送！");

    table.setCell(2, 2, "A");
    table.setCell(3, 2, "B");
    table.setCell(3, 5, "1,5");
    EXPECT_EQ(rqx2Check(), "第3行的坐标--Z“1,5”含有仪器不能接收的字符“,”，请修改后再发送！");

    // A character outside the basic plane is named whole.
    table.setCell(3, 5, "1");
    table.setCell(3, 2, QString::fromUtf8("A\xF0\x9F\x98\x80"));
    EXPECT_EQ(rqx2Check(),
              QString::fromUtf8("第3行的点名“A\xF0\x9F\x98\x80”含有仪器不能接收的字符“\xF0\x9F\x98\x80”，"
                                "请修改后再发送！"));
}

TEST_F(SendCheckTest, CoordinateThatDoesNotFitIsNamedWithItsColumn)
{
    build(false);
    add("1", "A", "1", "2", "3");
    add("2", "A", "1234567890.5", "2", "3");
    EXPECT_EQ(rqx2Check(), "第2行的坐标--E“1234567890.5”不是仪器能接收的坐标（只能由数字、小数点和负号组成，"
                           "小数点前最多9位），请修改后再发送！");
    table.setCell(2, 3, "1");
    table.setCell(2, 4, "1.2.3");
    EXPECT_EQ(rqx2Check(), "第2行的坐标--N“1.2.3”不是仪器能接收的坐标（只能由数字、小数点和负号组成，"
                           "小数点前最多9位），请修改后再发送！");
    table.setCell(2, 4, "12E3");
    EXPECT_NE(rqx2Check(), "");
}

TEST_F(SendCheckTest, RowCountLimit)
{
    build();
    addPlainRows(9999);
    EXPECT_EQ(rqx2Check(), "");
    addPlainRows(1);
    EXPECT_EQ(rqx2Check(), "坐标数据共10000点，超过仪器一次所能接收的9999点，请分批发送！");
}

TEST_F(SendCheckTest, WithoutACoordinateFormOnlyCharactersAndCountAreChecked)
{
    build();
    add("1", "A", "1234567890.123456", "1.2.3", "x");
    SendLimits limits;
    limits.maxRows = 65535;
    EXPECT_EQ(CheckRowsForSend(table, limits), "");
    table.setCell(1, 5, "x°");
    EXPECT_EQ(CheckRowsForSend(table, limits),
              "第1行的坐标--Z“x°”含有仪器不能接收的字符“°”，请修改后再发送！");
    EXPECT_EQ(CheckRowCountForSend(65536, limits),
              "坐标数据共65536点，超过仪器一次所能接收的65535点，请分批发送！");
}
