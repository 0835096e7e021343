#include "AppFixture.h"

#include "core/CoordinateTableModel.h"
#include "ui/Form2.h"
#include "ui/Form3.h"
#include "ui/Form5.h"
#include "ui/SessionLog.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>

using MainWindow = AppFixture;

TEST_F(MainWindow, MenusHoldEveryEntryWithCaptionAndShortcut)
{
    startWithCable();
    QStringList titles;
    for (QAction *menu : form1()->menuBar()->actions())
        titles << menu->text();
    EXPECT_EQ(titles, (QStringList{"文件", "编辑", "通讯", "查看", "帮助"}));

    struct Entry {
        const char *name;
        const char *caption;
        QKeySequence keys;
    };
    const Entry entries[] = {
        {"Open", "打开  ", QKeySequence(QStringLiteral("Ctrl+O"))},
        {"ImportDrawingPoints", "从CAD图形导入点", QKeySequence()},
        {"Save", "保存", QKeySequence(QStringLiteral("Ctrl+S"))},
        {"Exit", "退出  ", QKeySequence(QStringLiteral("Ctrl+Q"))},
        {"New", "新建", QKeySequence(QStringLiteral("Ctrl+N"))},
        {"Remend", "修改", QKeySequence(QStringLiteral("Ctrl+M"))},
        {"Del", "删除", QKeySequence(QStringLiteral("Del"))},
        {"Edit_S", "清除", QKeySequence(QStringLiteral("Ctrl+C"))},
        {"ZBDataSend", "坐标数据", QKeySequence()},
        {"RecZB", "接收", QKeySequence()},
        {"SendZB", "发送", QKeySequence()},
        {"CLSend", "测量数据", QKeySequence()},
        {"COM_Set", "端口设置", QKeySequence()},
        {"About", "关于", QKeySequence()},
        {"SessionLogs", "通讯记录", QKeySequence()},
        {"ShowPlanView", "点位图", QKeySequence()},
    };
    for (const Entry &e : entries) {
        QAction *entry = form1()->action(QLatin1String(e.name));
        ASSERT_NE(entry, nullptr) << e.name;
        EXPECT_EQ(entry->text(), QString::fromUtf8(e.caption)) << e.name;
        EXPECT_EQ(entry->shortcut(), e.keys) << e.name;
    }
    QStringList fileEntries;
    for (QAction *entry : form1()->findChild<QMenu *>(QStringLiteral("FileMenu"))->actions())
        fileEntries << entry->objectName();
    EXPECT_EQ(fileEntries, (QStringList{"Open", "ImportDrawingPoints", "Save", "Exit"}));
    QMenu *coordinates = form1()->action(QStringLiteral("ZBDataSend"))->menu();
    ASSERT_NE(coordinates, nullptr);
    EXPECT_EQ(coordinates->actions(), (QList<QAction *>{form1()->action(QStringLiteral("RecZB")),
                                                        form1()->action(QStringLiteral("SendZB"))}));

    // Choosing the submenu's own entry does nothing.
    form1()->action(QStringLiteral("ZBDataSend"))->trigger();
    EXPECT_TRUE(log.events.isEmpty());
}

TEST_F(MainWindow, ButtonsLabelsAndOptions)
{
    startWithCable(true);
    const std::pair<const char *, const char *> buttons[] = {
        {"Command1", "发送命令1"},  {"Command2", "发 送"},  {"Command3", "发 送"},  {"Command4", "连接测试"},
        {"Command5", "List"},       {"Command6", "修 改"},  {"Command7", "新 建"},  {"Command8", "删 除"},
        {"Command9", "保 存"},      {"Command10", "打 开"}, {"Command11", "退 出"}, {"Command12", "打开串口"},
        {"Command13", "发送命令2"},
    };
    for (auto [name, caption] : buttons) {
        QPushButton *b = form1()->button(QLatin1String(name));
        ASSERT_NE(b, nullptr) << name;
        EXPECT_EQ(b->text(), QString::fromUtf8(caption)) << name;
        EXPECT_TRUE(b->isEnabled()) << name;
    }
    EXPECT_EQ(child<QLabel>(form1(), "Label1")->text(), QStringLiteral("文件:"));
    EXPECT_EQ(child<QLabel>(form1(), "Label2")->text(), QStringLiteral("点数:"));
    EXPECT_EQ(child<QLabel>(form1(), "Label3")->text(), QStringLiteral("通讯测试中..."));
    EXPECT_FALSE(child<QLabel>(form1(), "Label3")->isVisible());
    EXPECT_TRUE(child<QLabel>(form1(), "Label4")->isVisible());
    EXPECT_NE(child<QLineEdit>(form1(), "Text1"), nullptr);
    EXPECT_NE(child<QLineEdit>(form1(), "Text3"), nullptr);
    EXPECT_EQ(child<QRadioButton>(form1(), "Option1")->text(), QStringLiteral("坐标数据"));
    EXPECT_TRUE(child<QRadioButton>(form1(), "Option1")->isChecked());
    EXPECT_EQ(child<QRadioButton>(form1(), "Option3")->text(), QStringLiteral("测量数据"));
    EXPECT_FALSE(child<QRadioButton>(form1(), "Option3")->isChecked());
}

TEST_F(MainWindow, ListShowsTheTableWithProportionalColumns)
{
    startWithCable();
    auto *list = child<QTableView>(form1(), "ListView1");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->model(), &app->table());
    EXPECT_EQ(list->horizontalHeader()->count(), 0); // no columns before the first rows

    form1()->button(QStringLiteral("Command5"))->click();
    QHeaderView *header = list->horizontalHeader();
    ASSERT_EQ(header->count(), 6);
    EXPECT_TRUE(header->isSectionHidden(0));
    const double unit = list->width() / 18.0;
    EXPECT_NEAR(header->sectionSize(2), 3 * unit, 1.0);
    EXPECT_NEAR(header->sectionSize(3), 4 * unit, 1.0);
    EXPECT_NEAR(header->sectionSize(4), 4 * unit, 1.0);
    EXPECT_NEAR(header->sectionSize(5), 4 * unit, 1.0);
    EXPECT_LT(header->sectionSize(1), header->sectionSize(2));

    // The widths follow the list when the window is resized.
    form1()->resize(form1()->width() + 180, form1()->height());
    QApplication::processEvents();
    EXPECT_NEAR(header->sectionSize(3), 4 * (list->width() / 18.0), 1.0);
}

TEST_F(MainWindow, ClearLeavesNoHeadersAndEmptiesTheFields)
{
    startWithCable(true);
    form1()->button(QStringLiteral("Command5"))->click();
    form1()->setFileName(QStringLiteral("K1.dat"));
    form1()->setProgress(QStringLiteral("25"));
    form1()->action(QStringLiteral("Edit_S"))->trigger();
    EXPECT_EQ(child<QTableView>(form1(), "ListView1")->horizontalHeader()->count(), 0);
    EXPECT_EQ(app->table().count(), 0);
    EXPECT_EQ(child<QLineEdit>(form1(), "Text1")->text(), QString());
    EXPECT_EQ(child<QLineEdit>(form1(), "Text3")->text(), QString());
}

TEST_F(MainWindow, AboutShowsTheSameInstructionsWindowEachTime)
{
    startWithCable();
    form1()->action(QStringLiteral("About"))->trigger();
    Form5 *about = form1()->instructions();
    ASSERT_TRUE(about->isVisible());
    EXPECT_FALSE(about->isModal());
    EXPECT_EQ(about->windowTitle(), QStringLiteral("HYL-串口通讯软件"));
    const std::pair<const char *, const char *> texts[] = {
        {"Label5",
         "    本软件适用于HYL“RQX”系列全站仪串口通讯，主要功能：1、坐标数据接收，全站仪的坐标数据传到计算机；"
         "2、坐标数据发送，坐标数据由计算机发送到全站仪；3、测量数据接收，测量数据从全站仪传到计算机；"
         "4、文件格式转换，坐标数据不同格式的转换。注意事项："},
        {"Label6", "    1、请使用HYL随机通讯线，全站仪和计算机两端连接头要插牢固；"},
        {"Label7", "    2、查看计算机通讯端口配置，正确设置COM参数；"},
        {"Label8", "    3、“坐标数据”或“测量数据”接收时，计算机上先点击“接收”，全站仪再按“发送”；"
                   "坐标数据发送时，全站仪先按“接收”，计算机再点击“发送”；"},
        {"Label9", "    4、如果将数据保存为CAD格式，请再保存一份其他格式的文件，以方便查看和留存；"},
        {"Label4", "    5、初次操作失败，可尝试重启全站仪和本软件再试。"},
    };
    for (auto [name, text] : texts)
        EXPECT_EQ(child<QLabel>(about, name)->text(), QString::fromUtf8(text)) << name;

    child<QLabel>(about, "Label7")->setText(QStringLiteral("说明"));
    about->hide();
    form1()->action(QStringLiteral("About"))->trigger();
    EXPECT_EQ(form1()->instructions(), about);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(child<QLabel>(about, "Label7")->text(),
              QStringLiteral("    2、查看计算机通讯端口配置，正确设置COM参数；"));
    EXPECT_EQ(form1()->findChildren<Form5 *>().size(), 1);
}

TEST_F(MainWindow, PortSettingsOpensTheOlderDialogWithoutBlocking)
{
    startWithCable();
    form1()->action(QStringLiteral("COM_Set"))->trigger();
    EXPECT_TRUE(app->portDialog()->isVisible());
    EXPECT_FALSE(app->portDialog()->isModal());
}

TEST_F(MainWindow, ExitMenuEndsTheProgram)
{
    startWithCable();
    form1()->action(QStringLiteral("Exit"))->trigger();
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(form1()->isVisible());
    EXPECT_TRUE(messages.messages.isEmpty());
}

TEST_F(MainWindow, ExitButtonEndsTheProgram)
{
    startWithCable();
    form1()->button(QStringLiteral("Command11"))->click();
    EXPECT_EQ(ends, 1);
}

TEST_F(MainWindow, ClosingTheWindowEndsTheProgramWithoutAQuestion)
{
    startWithCable();
    form1()->button(QStringLiteral("Command5"))->click();
    form1()->close();
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(messages.messages.isEmpty());
    form1()->action(QStringLiteral("Exit"))->trigger();
    EXPECT_EQ(ends, 1); // once
}

TEST_F(MainWindow, ShortcutsWorkFromTheTable)
{
    startWithCable();
    form1()->button(QStringLiteral("Command5"))->click();
    auto *list = child<QTableView>(form1(), "ListView1");
    QApplication::setActiveWindow(form1());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form1()));
    list->setFocus();

    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(app->table().count(), 24);
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier); // "清除", not a copy
    EXPECT_EQ(app->table().count(), 0);
    EXPECT_EQ(app->table().columnCount(), 0);
    QTest::keyClick(list, Qt::Key_N, Qt::ControlModifier);
    EXPECT_TRUE(form1()->pointEditor()->isVisible());
    EXPECT_TRUE(messages.messages.isEmpty());
}

namespace {
// Stands in for the desktop's file manager: notes the address it is asked to open.
class FileManager : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened.append(url); }
};
} // namespace

TEST_F(MainWindow, SessionLogsOpensTheLogFolderMadeWhenMissing)
{
    startWithCable();
    const QString folder = SessionLog::defaultFolder();
    QDir(folder).removeRecursively();
    FileManager files;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &files, "open");
    form1()->action(QStringLiteral("SessionLogs"))->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    EXPECT_EQ(files.opened, QList<QUrl>{QUrl::fromLocalFile(folder)});
    EXPECT_TRUE(QDir(folder).exists());
    EXPECT_TRUE(messages.messages.isEmpty());
}

#include "MainWindowTest.moc"
