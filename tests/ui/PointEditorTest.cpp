#include "AppFixture.h"

#include "core/CoordinateTableModel.h"
#include "ui/FilteredLineEdit.h"
#include "ui/Form2.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

namespace {
const QString kExists = QStringLiteral("错误提示|此点号已经存在！");
const QString kEmpty = QStringLiteral("错误提示|点号不能为空！");
} // namespace

class PointEditor : public AppFixture {
protected:
    Form2 *editor() { return form1()->pointEditor(); }
    QLineEdit *field(int n) { return child<QLineEdit>(editor(), QStringLiteral("Text%1").arg(n).toLatin1()); }

    void type(QLineEdit *edit, const QString &keys) { QTest::keyClicks(edit, keys); }

    void commit() { child<QPushButton>(editor(), "Command1")->click(); }

    void loadRows(const QStringList &numbers)
    {
        CoordinateTableModel &table = app->table();
        table.buildColumns(child<QRadioButton>(app->selectionDialog(), "Option1")->isChecked());
        int seq = 0;
        for (const QString &number : numbers)
            table.append({QString::number(++seq), number, QStringLiteral("P%1").arg(seq),
                          QStringLiteral("100"), QStringLiteral("200"), QStringLiteral("10")});
    }

    void selectRow(int row)
    {
        auto *list = child<QTableView>(form1(), "ListView1");
        list->selectRow(row - 1);
    }

    // Opens the editor with New and types a point number.
    void newPointWithNumber(const QString &number)
    {
        form1()->button(QStringLiteral("Command7"))->click();
        ASSERT_TRUE(editor()->isVisible());
        type(field(1), number);
    }

    QString numbers() const
    {
        QStringList texts;
        for (int row = 1; row <= app->table().count(); ++row)
            texts << app->table().cell(row, 1);
        return texts.join(u',');
    }
};

// --- the key filters, typed through the real fields ---

TEST_F(PointEditor, PointNumberTakesDigitsAndALeadingMinusOnly)
{
    startWithCable();
    form1()->button(QStringLiteral("Command7"))->click();
    type(field(1), QStringLiteral("1.5"));
    EXPECT_EQ(field(1)->text(), QStringLiteral("15"));
    type(field(1), QStringLiteral("aZ,/:"));
    EXPECT_EQ(field(1)->text(), QStringLiteral("15"));
    type(field(1), QStringLiteral("-"));
    EXPECT_EQ(field(1)->text(), QStringLiteral("15"));
    QTest::keyClick(field(1), Qt::Key_Home);
    type(field(1), QStringLiteral("-"));
    EXPECT_EQ(field(1)->text(), QStringLiteral("-15"));
    QTest::keyClick(field(1), Qt::Key_Home);
    type(field(1), QStringLiteral("-"));
    EXPECT_EQ(field(1)->text(), QStringLiteral("-15"));
    QTest::keyClick(field(1), Qt::Key_End);
    QTest::keyClick(field(1), Qt::Key_Backspace);
    EXPECT_EQ(field(1)->text(), QStringLiteral("-1"));
    QTest::keyClick(field(1), Qt::Key_Space);
    EXPECT_EQ(field(1)->text(), QStringLiteral("-1"));
    QTest::keyClick(field(1), Qt::Key_Return);
    EXPECT_EQ(field(1)->text(), QStringLiteral("-1"));
    EXPECT_TRUE(editor()->isVisible()); // Enter commits nothing by itself
}

TEST_F(PointEditor, CoordinateTakesOneFullStopAndALeadingMinus)
{
    startWithCable();
    form1()->button(QStringLiteral("Command7"))->click();
    for (int n : {3, 4, 5}) {
        field(n)->clear();
        type(field(n), QStringLiteral(".."));
        EXPECT_EQ(field(n)->text(), QStringLiteral(".")) << n;
        field(n)->setText(QStringLiteral("12"));
        type(field(n), QStringLiteral("-"));
        EXPECT_EQ(field(n)->text(), QStringLiteral("12")) << n;
        QTest::keyClick(field(n), Qt::Key_Home);
        type(field(n), QStringLiteral("-"));
        EXPECT_EQ(field(n)->text(), QStringLiteral("-12")) << n;
        QTest::keyClick(field(n), Qt::Key_End);
        type(field(n), QStringLiteral(".5.x7 e"));
        EXPECT_EQ(field(n)->text(), QStringLiteral("-12.57")) << n;
    }
    // The field opens with "0.0000", which already holds its full stop.
    form1()->button(QStringLiteral("Command7"))->click();
    EXPECT_EQ(field(3)->text(), QStringLiteral("0.0000"));
    type(field(3), QStringLiteral(".1"));
    EXPECT_EQ(field(3)->text(), QStringLiteral("0.00001"));
}

TEST_F(PointEditor, KeyTypedOverASelectionIsJudgedAsReplacingIt)
{
    startWithCable();
    form1()->button(QStringLiteral("Command7"))->click();
    // As Tab into a coordinate leaves it: "0.0000" selected whole, the caret after it.
    field(3)->selectAll();
    type(field(3), QStringLiteral("-2.5"));
    EXPECT_EQ(field(3)->text(), QStringLiteral("-2.5"));
    field(4)->selectAll();
    type(field(4), QStringLiteral(".5"));
    EXPECT_EQ(field(4)->text(), QStringLiteral(".5"));
    field(1)->setText(QStringLiteral("-15"));
    field(1)->selectAll();
    type(field(1), QStringLiteral("-7"));
    EXPECT_EQ(field(1)->text(), QStringLiteral("-7"));
    // A selection that does not start the text takes no minus.
    field(5)->setText(QStringLiteral("12"));
    field(5)->setSelection(1, 1);
    type(field(5), QStringLiteral("-"));
    EXPECT_EQ(field(5)->text(), QStringLiteral("12"));
}

TEST_F(PointEditor, SpaceDeletesTheSelectionAndLettersGoOnlyIntoTheName)
{
    startWithCable();
    form1()->button(QStringLiteral("Command7"))->click();
    for (int n : {1, 3}) {
        field(n)->setText(QStringLiteral("1234"));
        field(n)->setSelection(2, 2);
        QTest::keyClick(field(n), Qt::Key_Space);
        EXPECT_EQ(field(n)->text(), QStringLiteral("12")) << n;
    }
    type(field(2), QStringLiteral("K1 a.-,"));
    EXPECT_EQ(field(2)->text(), QStringLiteral("K1 a.-,"));
    type(field(4), QStringLiteral("abc"));
    type(field(5), QStringLiteral("XYZ"));
    EXPECT_EQ(field(4)->text(), QStringLiteral("0.0000"));
    EXPECT_EQ(field(5)->text(), QStringLiteral("0.0000"));
}

TEST_F(PointEditor, PastedAndComposedTextPassTheSameFilter)
{
    startWithCable();
    form1()->button(QStringLiteral("Command7"))->click();
    QGuiApplication::clipboard()->setText(QStringLiteral("-12.5a"));
    QTest::keySequence(field(1), QKeySequence::Paste);
    EXPECT_EQ(field(1)->text(), QStringLiteral("-125"));

    field(3)->setText(QStringLiteral("0.0000"));
    field(3)->selectAll();
    QTest::keySequence(field(3), QKeySequence::Paste);
    EXPECT_EQ(field(3)->text(), QStringLiteral("-12.5"));

    field(2)->clear();
    QTest::keySequence(field(2), QKeySequence::Paste);
    EXPECT_EQ(field(2)->text(), QStringLiteral("-12.5a"));

    field(1)->clear();
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("点7.8"));
    QApplication::sendEvent(field(1), &composed);
    EXPECT_EQ(field(1)->text(), QStringLiteral("78"));

    field(5)->clear();
    static_cast<FilteredLineEdit *>(field(5))->insertFiltered(QStringLiteral("1 234,5.6\n"));
    EXPECT_EQ(field(5)->text(), QStringLiteral("12345.6"));
}

// --- the table operations through the main window and the editor ---

TEST_F(PointEditor, NewOnAnEmptyTableBuildsTheColumnsAndAddsThePoint)
{
    startWithCable();
    form1()->button(QStringLiteral("Command7"))->click();
    ASSERT_TRUE(editor()->isVisible());
    EXPECT_TRUE(editor()->isModal());
    EXPECT_EQ(app->table().columnCount(), 6);
    EXPECT_EQ(field(1)->text(), QString());
    EXPECT_EQ(field(2)->text(), QString());
    EXPECT_EQ(field(3)->text(), QStringLiteral("0.0000"));
    EXPECT_EQ(field(4)->text(), QStringLiteral("0.0000"));
    EXPECT_EQ(field(5)->text(), QStringLiteral("0.0000"));

    type(field(1), QStringLiteral("12"));
    type(field(2), QStringLiteral("K12"));
    commit();
    EXPECT_FALSE(editor()->isVisible());
    ASSERT_EQ(app->table().count(), 1);
    EXPECT_EQ(app->table().point(1), (CoordinatePoint{"1", "12", "K12", "0.0000", "0.0000", "0.0000"}));
    EXPECT_EQ(child<QLineEdit>(form1(), "Text1")->text(), QStringLiteral("1"));
    EXPECT_TRUE(form1()->button(QStringLiteral("Command6"))->isEnabled());
    EXPECT_TRUE(form1()->button(QStringLiteral("Command8"))->isEnabled());
    EXPECT_TRUE(messages.messages.isEmpty());
}

TEST_F(PointEditor, TwelveIsRefusedWhen012Exists)
{
    startWithCable();
    loadRows({"012"});
    newPointWithNumber(QStringLiteral("12"));
    commit();
    EXPECT_EQ(messages.messages, QStringList{kExists});
    EXPECT_EQ(messages.parentName, QStringLiteral("Form2"));
    EXPECT_TRUE(editor()->isVisible());
    EXPECT_EQ(field(1)->text(), QStringLiteral("12"));
    EXPECT_EQ(app->table().count(), 1);
}

TEST_F(PointEditor, ANumberOfValueZeroIsRefusedWhen0Exists)
{
    startWithCable();
    loadRows({"0", "7"});
    // A point name like A1 arrives in the number field only from a row, never by typing.
    newPointWithNumber(QString());
    field(1)->setText(QStringLiteral("A"));
    commit();
    EXPECT_EQ(messages.messages, QStringList{kExists});
    EXPECT_EQ(app->table().count(), 2);
}

TEST_F(PointEditor, EmptyNumberIsRefused)
{
    startWithCable();
    newPointWithNumber(QString());
    commit();
    EXPECT_EQ(messages.messages, QStringList{kEmpty});
    EXPECT_TRUE(editor()->isVisible());
    EXPECT_EQ(app->table().count(), 0);
}

TEST_F(PointEditor, NewOnTenLoadedRowsAppendsRowEleven)
{
    startWithCable();
    loadRows({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"});
    newPointWithNumber(QStringLiteral("11"));
    commit();
    ASSERT_EQ(app->table().count(), 11);
    EXPECT_EQ(app->table().cell(11, 0), QStringLiteral("11"));
    EXPECT_EQ(app->table().cell(11, 1), QStringLiteral("11"));
    EXPECT_EQ(app->table().cell(1, 1), QStringLiteral("1"));
    EXPECT_EQ(child<QLineEdit>(form1(), "Text1")->text(), QStringLiteral("11"));
}

TEST_F(PointEditor, ChangingFiveTo05StoresFive)
{
    startWithCable();
    loadRows({"4", "5", "6"});
    selectRow(2);
    form1()->button(QStringLiteral("Command6"))->click();
    ASSERT_TRUE(editor()->isVisible());
    EXPECT_EQ(field(1)->text(), QStringLiteral("5"));
    EXPECT_EQ(field(2)->text(), QStringLiteral("P2"));
    EXPECT_EQ(field(3)->text(), QStringLiteral("100"));
    EXPECT_EQ(field(4)->text(), QStringLiteral("200"));
    EXPECT_EQ(field(5)->text(), QStringLiteral("10"));
    field(1)->clear();
    type(field(1), QStringLiteral("05"));
    field(3)->clear();
    type(field(3), QStringLiteral("-3.5"));
    commit();
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_EQ(app->table().point(2), (CoordinatePoint{"2", "5", "P2", "-3.5", "200", "10"}));
    EXPECT_EQ(child<QLineEdit>(form1(), "Text1")->text(), QStringLiteral("3"));
}

TEST_F(PointEditor, ChangingToAnotherRowsNumberIsRefused)
{
    startWithCable();
    loadRows({"4", "5", "6"});
    selectRow(1);
    form1()->action(QStringLiteral("Remend"))->trigger();
    field(1)->clear();
    type(field(1), QStringLiteral("006"));
    commit();
    EXPECT_EQ(messages.messages, QStringList{kExists});
    EXPECT_TRUE(editor()->isVisible());
    EXPECT_EQ(numbers(), QStringLiteral("4,5,6"));
}

TEST_F(PointEditor, ARowRebuiltAwayUnderTheEditorIsNotChanged)
{
    startWithCable();
    loadRows({"4", "5"});
    selectRow(2);
    form1()->button(QStringLiteral("Command6"))->click();
    // A coordinate receive starts meanwhile and rebuilds the table with new rows.
    app->table().buildColumns(true);
    app->table().append({"1", "900", "R", "1", "2", "3"});
    commit();
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_EQ(app->table().point(1), (CoordinatePoint{"1", "900", "R", "1", "2", "3"}));
}

TEST_F(PointEditor, DeleteRenumbersTheRemainingPoints)
{
    startWithCable();
    loadRows({"101", "102", "103", "104"});
    selectRow(3);
    form1()->button(QStringLiteral("Command8"))->click();
    EXPECT_EQ(numbers(), QStringLiteral("1,2,3"));
    EXPECT_EQ(app->table().cell(3, 0), QStringLiteral("4"));
    EXPECT_EQ(app->table().cell(3, 2), QStringLiteral("P4"));
    EXPECT_EQ(child<QLineEdit>(form1(), "Text1")->text(), QStringLiteral("3"));
    EXPECT_TRUE(form1()->button(QStringLiteral("Command8"))->isEnabled());

    // A row stays selected, so the menu entry goes on deleting until none is left.
    for (int i = 0; i < 3; ++i)
        form1()->action(QStringLiteral("Del"))->trigger();
    EXPECT_EQ(app->table().count(), 0);
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_FALSE(form1()->button(QStringLiteral("Command6"))->isEnabled());
    EXPECT_FALSE(form1()->button(QStringLiteral("Command8"))->isEnabled());
    EXPECT_EQ(child<QLineEdit>(form1(), "Text1")->text(), QStringLiteral("0"));
}

TEST_F(PointEditor, NothingToChangeOrDelete)
{
    startWithCable();
    form1()->action(QStringLiteral("Remend"))->trigger();
    form1()->action(QStringLiteral("Del"))->trigger();
    form1()->button(QStringLiteral("Command6"))->click();
    form1()->button(QStringLiteral("Command8"))->click();
    EXPECT_EQ(messages.messages,
              (QStringList{"错误提示|当前没有数据可以修改！", "错误提示|当前没有数据可以删除！",
                           "错误提示|当前没有数据可以修改！", "错误提示|当前没有数据可以删除！"}));
    EXPECT_FALSE(editor()->isVisible());
}

TEST_F(PointEditor, EnzHeadersAndLabels)
{
    startWithCable(false, false);
    form1()->button(QStringLiteral("Command7"))->click();
    QHeaderView *header = child<QTableView>(form1(), "ListView1")->horizontalHeader();
    ASSERT_EQ(header->count(), 6);
    EXPECT_EQ(app->table().headerData(3, Qt::Horizontal).toString(), QStringLiteral("坐标--E"));
    EXPECT_EQ(app->table().headerData(4, Qt::Horizontal).toString(), QStringLiteral("坐标--N"));
    EXPECT_EQ(child<QLabel>(editor(), "Label2")->text(), QStringLiteral("坐标--E"));
    EXPECT_EQ(child<QLabel>(editor(), "Label3")->text(), QStringLiteral("坐标--N"));
}

TEST_F(PointEditor, ClearThenNewBuildsTheColumnsAgain)
{
    startWithCable();
    form1()->button(QStringLiteral("Command5"))->click();
    form1()->action(QStringLiteral("Edit_S"))->trigger();
    EXPECT_EQ(app->table().columnCount(), 0);
    form1()->action(QStringLiteral("New"))->trigger();
    EXPECT_EQ(app->table().columnCount(), 6);
    type(field(1), QStringLiteral("1"));
    commit();
    EXPECT_EQ(app->table().point(1), (CoordinatePoint{"1", "1", "", "0.0000", "0.0000", "0.0000"}));
}

TEST_F(PointEditor, MeasurementDataOpensTheEditorButAddsNothing)
{
    startWithCable();
    loadRows({"1"});
    child<QRadioButton>(form1(), "Option3")->setChecked(true);
    form1()->button(QStringLiteral("Command7"))->click();
    ASSERT_TRUE(editor()->isVisible());
    type(field(1), QStringLiteral("2"));
    commit();
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_EQ(app->table().count(), 1);
    EXPECT_TRUE(messages.messages.isEmpty());
    EXPECT_TRUE(form1()->button(QStringLiteral("Command6"))->isEnabled()); // NextSequence is 1
}

TEST_F(PointEditor, NoDataTypeIsReported)
{
    startWithCable();
    for (const char *name : {"Option1", "Option3"}) {
        auto *option = child<QRadioButton>(form1(), name);
        option->setAutoExclusive(false);
        option->setChecked(false);
    }
    form1()->button(QStringLiteral("Command7"))->click();
    EXPECT_EQ(messages.messages, QStringList{"错误提示|请选择新建数据类型！"});
    EXPECT_FALSE(editor()->isVisible());
}

TEST_F(PointEditor, NoMorePointsByHandBeyondSequence32767)
{
    startWithCable();
    app->table().buildColumns(true);
    app->table().append(std::vector<CoordinatePoint>(32767, CoordinatePoint{"1", "1", "", "", "", ""}));
    form1()->button(QStringLiteral("Command7"))->click();
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.messages[0].startsWith(QStringLiteral("错误提示|")))
        << messages.messages[0].toStdString();
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_EQ(app->table().count(), 32767);
}

TEST_F(PointEditor, ClosingTheEditorLeavesTheTableUnchanged)
{
    startWithCable();
    loadRows({"1"});
    selectRow(1);
    form1()->button(QStringLiteral("Command6"))->click();
    field(1)->clear();
    type(field(1), QStringLiteral("9"));
    editor()->close();
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_EQ(numbers(), QStringLiteral("1"));
}

TEST_F(PointEditor, ChangeOfLoadedRowsDisablesTheButtonsUntilAPointIsAdded)
{
    startWithCable();
    loadRows({"1", "2"});
    selectRow(1);
    form1()->button(QStringLiteral("Command6"))->click();
    commit();
    EXPECT_FALSE(form1()->button(QStringLiteral("Command6"))->isEnabled());
    EXPECT_FALSE(form1()->button(QStringLiteral("Command8"))->isEnabled());
    // The menu entries still work.
    form1()->action(QStringLiteral("Remend"))->trigger();
    EXPECT_TRUE(editor()->isVisible());
    commit();
    form1()->action(QStringLiteral("New"))->trigger();
    type(field(1), QStringLiteral("3"));
    commit();
    EXPECT_TRUE(form1()->button(QStringLiteral("Command6"))->isEnabled());
    EXPECT_TRUE(form1()->button(QStringLiteral("Command8"))->isEnabled());
}
