#include "AppFixture.h"

#include "ui/Form2.h"
#include "ui/Form3.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTimer>

namespace {
const QString kNotice = QStringLiteral(
    "提示：|1、本通讯软件仅适用于 HYLRQX系列全站仪；     2、所用通讯电缆必须为 "
    "HYL全站仪专用USB转串口通讯电缆，"
    "其他品牌全站仪的通讯电缆不可用；     3、使用本软件前，必须已完成USB转串口通讯电缆的驱动程序安装。");
const QString kCableMissing =
    QStringLiteral("通讯电缆连接失败|请检查通讯线是否为随机所配，是否插牢，是否已安装驱动！");
const QString kOutOfRange =
    QStringLiteral("连接失败|端口号超出范围，请自行到本计算机“设备管理器”中更改串口号至COM16以内！");
} // namespace

using Startup = AppFixture;

TEST_F(Startup, NoticeComesBeforeTheSelectionDialog)
{
    bool dialogShownDuringNotice = true;
    messages.onMessage = [&](const QString &, const QString &) {
        dialogShownDuringNotice = app->selectionDialog()->isVisible();
    };
    startProgram();
    ASSERT_EQ(messages.messages, QStringList{kNotice});
    EXPECT_FALSE(dialogShownDuringNotice);
    EXPECT_TRUE(app->selectionDialog()->isVisible());
    EXPECT_FALSE(form1()->isVisible());
}

TEST_F(Startup, SelectionDialogHoldsItsChoices)
{
    startProgram();
    Form6 *dialog = app->selectionDialog();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("选择"));
    struct Option {
        const char *name;
        const char *caption;
        bool checked;
        bool enabled;
    };
    for (const Option &o :
         {Option{"Option3", "RQX2 系列", true, true}, Option{"Option4", "RQX5 系列", false, true},
          Option{"Option6", "RQX7系列", false, false}, Option{"Option5", "RQX8系列", false, false},
          Option{"Option1", "N E Z", true, true}, Option{"Option2", "E N Z", false, true}}) {
        auto *option = child<QRadioButton>(dialog, o.name);
        ASSERT_NE(option, nullptr);
        EXPECT_EQ(option->text(), QString::fromUtf8(o.caption)) << o.name;
        EXPECT_EQ(option->isChecked(), o.checked) << o.name;
        EXPECT_EQ(option->isEnabled(), o.enabled) << o.name;
    }
    EXPECT_EQ(child<QGroupBox>(dialog, "Frame1")->title(), QStringLiteral("请选择机型"));
    EXPECT_EQ(child<QGroupBox>(dialog, "Frame2")->title(), QStringLiteral("请选择坐标格式"));
    EXPECT_EQ(child<QGroupBox>(dialog, "Frame3")->title(), QStringLiteral("提示"));
    EXPECT_EQ(child<QLabel>(dialog, "Label1")->text(),
              QStringLiteral("       进入主界面，点击“帮助”，阅读使用说明。"));
    EXPECT_EQ(child<QPushButton>(dialog, "OKButton")->text(), QStringLiteral("确  定"));
    EXPECT_EQ(child<QPushButton>(dialog, "CancelButton")->text(), QStringLiteral("退  出"));
    EXPECT_TRUE(dialog->rqx2Selected());
    EXPECT_FALSE(dialog->rqx5Selected());
    EXPECT_TRUE(dialog->nezSelected());
}

TEST_F(Startup, CableFoundShowsItsPortAndTheMainWindow)
{
    addDevice(cableName());
    startProgram();
    choose(true, true);

    ASSERT_EQ(messages.messages.size(), 2);
    EXPECT_EQ(messages.messages[1], QStringLiteral("通讯电缆已连接|当前计算机串行通讯端口为： COM1"));
    EXPECT_TRUE(form1()->isVisible());
    EXPECT_FALSE(app->selectionDialog()->isVisible());
    EXPECT_EQ(form1()->windowTitle(),
              QStringLiteral("HYLRQX2和RQX5系列全站仪通讯软件   V1.31_151030"
                             "                                                      HYL"));
    EXPECT_EQ(child<QLineEdit>(app->selectionDialog(), "Text1")->text(), QStringLiteral("COM1"));
    EXPECT_EQ(link.commPort(), 1);
    auto *port = child<QComboBox>(app->portDialog(), "Combo4");
    EXPECT_EQ(port->currentText(), QStringLiteral("COM1"));
    EXPECT_FALSE(port->isEnabled());
    EXPECT_EQ(ends, 0);

    // The load step ran: the editor's modes as at start, and the selection stays readable.
    EXPECT_TRUE(form1()->tableOperations().TableIsNew);
    EXPECT_EQ(form1()->tableOperations().EditorMode, 4);
    EXPECT_TRUE(child<QRadioButton>(app->selectionDialog(), "Option4")->isChecked());
}

TEST_F(Startup, PortNameFollowsTheEntrysPositionAndAnOpenPortIsClosedFirst)
{
    addDevice(QStringLiteral("usb-FTDI_FT232R_USB_UART_A1-if00-port0"));
    addDevice(cableName());
    startProgram();
    link.portOpen = true;
    choose(false, true);
    EXPECT_EQ(messages.messages.last(), QStringLiteral("通讯电缆已连接|当前计算机串行通讯端口为： COM2"));
    EXPECT_LT(log.indexOf(QStringLiteral("close")), log.indexOf(QStringLiteral("commport 2")));
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(link.commPort(), 2);
}

TEST_F(Startup, Rqx2SwitchesOffTheFileNameAndTheSpeedList)
{
    addDevice(cableName());
    startProgram();
    choose(false, true);
    EXPECT_FALSE(child<QLabel>(form1(), "Label1")->isVisible());
    EXPECT_FALSE(child<QLineEdit>(form1(), "Text3")->isVisible());
    EXPECT_TRUE(child<QLineEdit>(form1(), "Text1")->isVisible());
    EXPECT_FALSE(child<QComboBox>(app->portDialog(), "Combo5")->isEnabled());
    EXPECT_TRUE(child<QComboBox>(app->portDialog(), "Combo9")->isEnabled());
}

TEST_F(Startup, Rqx5KeepsTheFileNameAndTheSpeedList)
{
    addDevice(cableName());
    startProgram();
    choose(true, true);
    EXPECT_TRUE(child<QLabel>(form1(), "Label1")->isVisible());
    EXPECT_TRUE(child<QLineEdit>(form1(), "Text3")->isVisible());
    EXPECT_TRUE(child<QComboBox>(app->portDialog(), "Combo5")->isEnabled());
}

TEST_F(Startup, CoordinateOrderSetsTheEditorsLabels)
{
    addDevice(cableName());
    startProgram();
    choose(false, false);
    EXPECT_EQ(child<QLabel>(form1()->pointEditor(), "Label2")->text(), QStringLiteral("坐标--E"));
    EXPECT_EQ(child<QLabel>(form1()->pointEditor(), "Label3")->text(), QStringLiteral("坐标--N"));
    EXPECT_FALSE(child<QRadioButton>(app->selectionDialog(), "Option1")->isChecked());
}

TEST_F(Startup, NoCableEndsTheProgram)
{
    addDevice(QStringLiteral("usb-FTDI_FT232R_USB_UART_A1-if00-port0"));
    startProgram();
    choose(false, true);
    EXPECT_EQ(messages.messages.last(), kCableMissing);
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(form1()->isVisible());
    EXPECT_FALSE(app->selectionDialog()->isVisible());
}

TEST_F(Startup, EmptyOrMissingFolderEndsTheProgram)
{
    startProgram();
    choose(false, true);
    EXPECT_EQ(messages.messages, (QStringList{kNotice, kCableMissing}));
    EXPECT_EQ(ends, 1);

    messages.messages.clear();
    ends = 0;
    app = std::make_unique<Application>(
        devices.filePath(QStringLiteral("missing")), messages, [this] { ++ends; }, &link);
    app->start();
    choose(true, true);
    EXPECT_EQ(messages.messages.last(), kCableMissing);
    EXPECT_EQ(ends, 1);
}

TEST_F(Startup, CableBeyondCom16EndsTheProgram)
{
    for (int i = 1; i <= 16; ++i)
        addDevice(QStringLiteral("usb-A%1_Serial-if00-port0").arg(i, 2, 10, QChar(u'0')));
    addDevice(cableName());
    startProgram();
    choose(true, true);
    EXPECT_EQ(messages.messages.last(), kOutOfRange);
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(form1()->isVisible());
    EXPECT_EQ(messages.messages.filter(QStringLiteral("通讯电缆已连接")).size(), 0);
}

TEST_F(Startup, CableAtSixteenthPositionIsCom16)
{
    for (int i = 1; i <= 15; ++i)
        addDevice(QStringLiteral("usb-A%1_Serial-if00-port0").arg(i, 2, 10, QChar(u'0')));
    addDevice(cableName());
    startProgram();
    choose(true, true);
    EXPECT_EQ(messages.messages.last(), QStringLiteral("通讯电缆已连接|当前计算机串行通讯端口为： COM16"));
    EXPECT_EQ(link.commPort(), 16);
}

TEST_F(Startup, GivenPortIsUsedWithoutSearching)
{
    // No cable in the folder: the port given is taken all the same, beyond COM16 too.
    startProgram();
    app->usePort(QStringLiteral("COM20"));
    choose(true, true);
    EXPECT_EQ(messages.messages.last(), QStringLiteral("通讯电缆已连接|当前计算机串行通讯端口为： COM20"));
    EXPECT_EQ(link.commPort(), 20);
    EXPECT_TRUE(form1()->isVisible());
    EXPECT_EQ(ends, 0);

    // A device path is the port as it is, even where the folder holds the cable.
    addDevice(cableName());
    messages.messages.clear();
    app = std::make_unique<Application>(
        devices.path(), messages, [this] { ++ends; }, &link);
    app->usePort(QStringLiteral("/dev/ttyUSB0"));
    app->start();
    choose(false, true);
    EXPECT_EQ(messages.messages.last(),
              QStringLiteral("通讯电缆已连接|当前计算机串行通讯端口为： /dev/ttyUSB0"));
    EXPECT_EQ(link.commPort(), 1);
    EXPECT_EQ(ends, 0);
}

TEST_F(Startup, ExitButtonEscapeAndClosingEndTheProgram)
{
    startProgram();
    child<QPushButton>(app->selectionDialog(), "CancelButton")->click();
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(app->selectionDialog()->isVisible());

    ends = 0;
    startProgram();
    app->selectionDialog()->close();
    EXPECT_EQ(ends, 1);

    ends = 0;
    startProgram();
    QTest::keyClick(app->selectionDialog(), Qt::Key_Escape);
    EXPECT_EQ(ends, 1);
}

// The production ending: the event loop quits once the handler that ends the program returns.
TEST_F(Startup, EndingQuitsTheRunningEventLoop)
{
    app = std::make_unique<Application>(
        devices.path(), messages, [] { QCoreApplication::exit(0); }, &link);
    app->start();
    QTimer::singleShot(0, [this] { child<QPushButton>(app->selectionDialog(), "OKButton")->click(); });
    QTimer failsafe;
    failsafe.setSingleShot(true);
    QObject::connect(&failsafe, &QTimer::timeout, [] { QCoreApplication::exit(3); });
    failsafe.start(20000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(app->ended());
    EXPECT_EQ(messages.messages.last(), kCableMissing);
}

// A mistaken command line is answered on the terminal, where there may be no display: the reason,
// the usage and the status 2, with the window system's own options stepped over.
TEST(StartupProcess, OnlyTheProgramsOwnOptionsAreTaken)
{
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("no-such-platform"));
    program.setProcessEnvironment(env);
    const struct {
        QStringList arguments;
        const char *reason;
    } mistakes[] = {
        {{"--no-such-option"}, "Unknown option 'no-such-option'."},
        {{"-platform", "offscreen", "-x"}, "Unknown option 'x'."},
        {{"--device-dir"}, "Missing value after '--device-dir'."},
        {{"--device-dir", "/dev", "points.hyl"}, "Unexpected argument 'points.hyl'."},
        {{"--port"}, "Missing value after '--port'."},
        {{"--port", "COM3", "COM4"}, "Unexpected argument 'COM4'."},
    };
    for (const auto &mistake : mistakes) {
        SCOPED_TRACE(mistake.arguments.join(u' ').toStdString());
        program.start(QStringLiteral(RQX_APP_PATH), mistake.arguments);
        ASSERT_TRUE(program.waitForFinished(20000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 2);
        const QByteArray said = program.readAllStandardError();
        EXPECT_TRUE(said.startsWith(mistake.reason)) << said.toStdString();
        EXPECT_TRUE(said.contains("Usage: ")) << said.toStdString();
        EXPECT_TRUE(said.contains("--device-dir <DIR>")) << said.toStdString();
        EXPECT_TRUE(said.contains("--port <PORT>")) << said.toStdString();
    }
}
