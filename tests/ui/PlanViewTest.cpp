// 点位图 in the three windows that have a list: the main window's table, the RQX5 and the RQX2
// measurement lists, each in plan with its selection both ways.
#include "AppFixture.h"

#include "core/CoordinateTableModel.h"
#include "core/MeasurementTableModel.h"
#include "support/QStringPrinter.h"
#include "ui/Form4.h"
#include "ui/Form7.h"
#include "ui/PlanView.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QMenuBar>
#include <QTableView>
#include <QToolButton>
#include <QWheelEvent>

namespace {

class PlanViewWindows : public AppFixture {
protected:
    // Waits until the plan has taken up the list's rows and holds count points.
    static void waitForPoints(PlanView *plan, int count)
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return plan->pointCount() == count; }, 20000))
            << plan->pointCount();
    }

    static QStringList menuTitles(QMenuBar *bar)
    {
        QStringList titles;
        for (QAction *menu : bar->actions())
            titles << menu->text();
        return titles;
    }

    // A measurement row with the point number and coordinates under their headers; blank E and N
    // for a row without a point.
    static QStringList measurementRow(const MeasurementTableModel &list, const QString &number,
                                      const QString &north, const QString &east)
    {
        QStringList cells(int(list.columns().size()));
        for (size_t k = 0; k < list.columns().size(); ++k) {
            const QString &header = list.columns()[k].header;
            if (header == u"测量序号" || header == u"接收序号")
                cells[int(k)] = number;
            else if (header == u"坐标--N")
                cells[int(k)] = north;
            else if (header == u"坐标--E")
                cells[int(k)] = east;
        }
        return cells;
    }

    static void wheel(PlanView *plan, QPointF at, int degreesTimesEight)
    {
        QWheelEvent event(at, plan->mapToGlobal(at), QPoint(), QPoint(0, degreesTimesEight), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(plan, &event);
    }

    static void drag(PlanView *plan, QPoint from, QPoint to)
    {
        QTest::mousePress(plan, Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), plan->mapToGlobal(QPointF(to)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(plan, &move);
        QTest::mouseRelease(plan, Qt::LeftButton, {}, to);
    }
};

} // namespace

TEST_F(PlanViewWindows, TheMainWindowsTableInPlanSelectedBothWaysZoomedPannedAndFitted)
{
    startWithCable(true, true);
    EXPECT_EQ(menuTitles(form1()->menuBar()), (QStringList{"文件", "编辑", "通讯", "查看", "帮助"}));
    CoordinateTableModel &table = app->table();
    table.buildColumns(true);
    table.append(CoordinatePoint{"1", "A", "", "100", "200", "1"});
    table.append(CoordinatePoint{"2", "B", "", "110", "220", "2"});
    table.append(CoordinatePoint{"3", "C", "", "", "", ""});
    table.append(CoordinatePoint{"4", "D", "", "90", "210", "3"});

    QAction *show = form1()->action(QStringLiteral("ShowPlanView"));
    ASSERT_NE(show, nullptr);
    EXPECT_EQ(show->text(), QStringLiteral("点位图"));
    EXPECT_TRUE(show->isCheckable());
    PlanView *plan = child<PlanView>(form1(), "PlanView");
    EXPECT_FALSE(plan->isVisible());
    show->trigger();
    EXPECT_TRUE(show->isChecked());
    ASSERT_TRUE(plan->isVisible());
    waitForPoints(plan, 3);

    // Fitted: every point in the pane, E to the right and N up at one scale (20 m of E, 10 m of N).
    const QRectF pane = plan->rect();
    for (int row : {0, 1, 3})
        EXPECT_TRUE(pane.contains(plan->widgetPosition(row))) << row;
    const QPointF a = plan->widgetPosition(0), b = plan->widgetPosition(1);
    EXPECT_GT(b.x(), a.x());
    EXPECT_LT(b.y(), a.y());
    EXPECT_NEAR(b.x() - a.x(), 2 * (a.y() - b.y()), 1e-6);
    EXPECT_TRUE(plan->widgetPosition(2).isNull());

    // The list's row is the highlighted point, and the point clicked is the list's row.
    form1()->tableView()->selectRow(1);
    EXPECT_EQ(plan->highlightedRow(), 1);
    QTest::mouseClick(plan, Qt::LeftButton, {}, plan->widgetPosition(3).toPoint());
    EXPECT_EQ(form1()->tableView()->currentIndex().row(), 3);
    EXPECT_EQ(form1()->selectedRow(), 4);

    // The wheel zooms about the cursor; dragging pans; 适合窗口 fits again.
    const double fitted = plan->scale();
    wheel(plan, a, 240);
    EXPECT_GT(plan->scale(), fitted);
    EXPECT_NEAR(plan->widgetPosition(0).x(), a.x(), 1e-6);
    EXPECT_NEAR(plan->widgetPosition(0).y(), a.y(), 1e-6);
    const QPointF beforeDrag = plan->widgetPosition(1);
    drag(plan, QPoint(20, 20), QPoint(50, 40));
    EXPECT_NEAR(plan->widgetPosition(1).x(), beforeDrag.x() + 30, 1e-6);
    EXPECT_NEAR(plan->widgetPosition(1).y(), beforeDrag.y() + 20, 1e-6);
    EXPECT_EQ(form1()->tableView()->currentIndex().row(), 3); // a drag selects nothing
    child<QPushButton>(plan, "FitPlanView")->click();
    EXPECT_DOUBLE_EQ(plan->scale(), fitted);
    EXPECT_EQ(plan->widgetPosition(0), a);

    // Rows that arrive are taken up at the next tick of the pane, and fitted in.
    table.append(CoordinatePoint{"5", "E", "", "500", "700", "0"});
    EXPECT_EQ(plan->pointCount(), 3);
    waitForPoints(plan, 4);
    EXPECT_TRUE(pane.contains(plan->widgetPosition(4)));
    EXPECT_LT(plan->scale(), fitted);

    show->trigger();
    EXPECT_FALSE(plan->isVisible());
}

TEST_F(PlanViewWindows, TheRqx5MeasurementListInPlanFromItsViewMenu)
{
    startWithCable(true, true);
    Form4 *window = app->measureWindow();
    EXPECT_EQ(menuTitles(window->menuBar()), (QStringList{"文件(F)", "通讯(C)", "查看(V)"}));
    window->setTransferColumns(Form4::kMeasurementLayout, true);
    MeasurementTableModel &list = window->list();
    list.append(measurementRow(list, "1", "", ""));
    list.append(measurementRow(list, "2", "3456789.5", "512345.25"));
    list.append(measurementRow(list, "3", "3456790", "512346"));
    window->show();

    QAction *show = window->action(QStringLiteral("ShowPlanView"));
    ASSERT_NE(show, nullptr);
    EXPECT_EQ(show->text(), QStringLiteral("点位图"));
    show->trigger();
    PlanView *plan = child<PlanView>(window, "PlanView");
    waitForPoints(plan, 2);
    QTest::mouseClick(plan, Qt::LeftButton, {}, plan->widgetPosition(2).toPoint());
    EXPECT_EQ(window->tableView()->currentIndex().row(), 2);
}

TEST_F(PlanViewWindows, TheRqx2MeasurementListInPlanFromTheButtonBelowExportTable)
{
    startWithCable(false, true);
    Form7 *window = app->rqx2MeasurementWindow();
    window->SetupRqx2MeasurementList(true);
    MeasurementTableModel &list = window->list();
    list.append(measurementRow(list, "1", "10", "20"));
    list.append(measurementRow(list, "2", "", ""));
    list.append(measurementRow(list, "3", "12", "25"));
    window->show();

    auto *toggle = child<QToolButton>(window, "PlanViewButton");
    QAction *show = toggle->defaultAction();
    ASSERT_NE(show, nullptr);
    EXPECT_EQ(show->objectName(), QStringLiteral("ShowPlanView"));
    EXPECT_EQ(toggle->text(), QStringLiteral("点位图"));
    EXPECT_TRUE(toggle->isCheckable());
    auto *buttons = qobject_cast<QBoxLayout *>(toggle->parentWidget()->layout());
    ASSERT_NE(buttons, nullptr);
    EXPECT_EQ(buttons->indexOf(toggle), buttons->indexOf(window->button(QStringLiteral("ExportTable"))) + 1);

    PlanView *plan = child<PlanView>(window, "PlanView");
    EXPECT_FALSE(plan->isVisible());
    toggle->click();
    EXPECT_TRUE(show->isChecked());
    EXPECT_TRUE(plan->isVisible());
    waitForPoints(plan, 2);
    window->listView()->selectRow(2);
    EXPECT_EQ(plan->highlightedRow(), 2);
}
