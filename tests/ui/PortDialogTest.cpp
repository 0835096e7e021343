#include "AppFixture.h"

#include "ui/Form3.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

namespace {
// The older port dialog on its own, over a recording link.
class PortDialog : public ::testing::Test {
protected:
    QComboBox *combo(const char *name) { return dialog.findChild<QComboBox *>(QLatin1String(name)); }
    QPushButton *button(const char *name) { return dialog.findChild<QPushButton *>(QLatin1String(name)); }
    QStringList items(const char *name)
    {
        QStringList texts;
        for (int i = 0; i < combo(name)->count(); ++i)
            texts << combo(name)->itemText(i);
        return texts;
    }

    Recorder log;
    RecordingPresenter messages{log};
    FakeSerialLink link{log};
    Form3 dialog{link, messages};
};
} // namespace

TEST_F(PortDialog, ListsAndInitialTexts)
{
    EXPECT_EQ(items("Combo4"),
              (QStringList{"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "COM9"}));
    EXPECT_EQ(combo("Combo4")->currentText(), QStringLiteral("COM1"));
    const QStringList speeds{"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"};
    EXPECT_EQ(items("Combo5"), speeds);
    EXPECT_EQ(items("Combo9"), speeds);
    EXPECT_EQ(combo("Combo5")->currentText(), QStringLiteral("1200"));
    EXPECT_EQ(combo("Combo9")->currentText(), QStringLiteral("1200"));
    EXPECT_EQ(combo("Combo6")->currentText(), QStringLiteral("8"));
    EXPECT_EQ(combo("Combo7")->currentText(), QStringLiteral("1"));
    EXPECT_EQ(combo("Combo8")->currentText(), QStringLiteral("None"));
    auto *check = dialog.findChild<QCheckBox *>(QStringLiteral("Check1"));
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->text(), QStringLiteral("初始"));
    EXPECT_FALSE(check->isChecked());
    EXPECT_EQ(button("Command1")->text(), QStringLiteral("确  定"));
    EXPECT_EQ(button("Command2")->text(), QStringLiteral("打开串口"));
    QStringList labels;
    for (int i = 1; i <= 5; ++i)
        labels << dialog.findChild<QLabel *>(QStringLiteral("Label%1").arg(i))->text();
    EXPECT_EQ(labels, (QStringList{"端口号", "波特率", "数据位", "停止位", "校验位"}));
}

TEST_F(PortDialog, OkClosesTheOpenPortThenSetsPortAndSettings)
{
    dialog.show();
    link.portOpen = true;
    combo("Combo4")->setCurrentText(QStringLiteral("COM5"));
    combo("Combo5")->setCurrentText(QStringLiteral("9600"));
    button("Command1")->click();
    EXPECT_EQ(log.events, (QStringList{"close", "commport 5", "settings 9600,N,8,1"}));
    EXPECT_EQ(dialog.baudValue(), 9600);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(link.isOpen()); // it stays closed until the next operation opens it
}

TEST_F(PortDialog, TypedSpeedOutsideTheListGives57600)
{
    combo("Combo5")->setEditText(QStringLiteral("14400"));
    button("Command1")->click();
    EXPECT_EQ(link.settings(), QStringLiteral("57600,N,8,1"));
    EXPECT_EQ(dialog.baudValue(), 14400);
}

TEST_F(PortDialog, TypedCom12LeavesThePortNumber)
{
    link.port = 3;
    combo("Combo4")->setEditText(QStringLiteral("COM12"));
    button("Command1")->click();
    EXPECT_EQ(link.commPort(), 3);
    EXPECT_TRUE(log.matching(QStringLiteral("commport")).isEmpty());
    EXPECT_EQ(link.settings(), QStringLiteral("1200,N,8,1"));
}

TEST_F(PortDialog, InitialCheckTakesTheSecondSpeedList)
{
    combo("Combo5")->setCurrentText(QStringLiteral("2400"));
    combo("Combo9")->setCurrentText(QStringLiteral("115200"));
    dialog.findChild<QCheckBox *>(QStringLiteral("Check1"))->setChecked(true);
    button("Command1")->click();
    EXPECT_EQ(link.settings(), QStringLiteral("115200,N,8,1"));
    // A locked first list (RQX2) does not matter then.
    dialog.lockSpeedList();
    EXPECT_FALSE(combo("Combo5")->isEnabled());
}

TEST_F(PortDialog, PortButtonTogglesAndReportsAFailedOpen)
{
    dialog.show();
    button("Command2")->click();
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(button("Command2")->text(), QStringLiteral("关闭串口"));
    button("Command2")->click();
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(button("Command2")->text(), QStringLiteral("打开串口"));
    EXPECT_EQ(log.events, (QStringList{"open", "close"}));

    link.failOpen = true;
    button("Command2")->click();
    EXPECT_EQ(messages.messages, QStringList{"错误提示|请检查端口连接是否正确！"});
    EXPECT_EQ(messages.parentName, QStringLiteral("Form3"));
    EXPECT_EQ(button("Command2")->text(), QStringLiteral("打开串口"));
    EXPECT_TRUE(dialog.isVisible());
}

using PortDialogInProgram = AppFixture;

TEST_F(PortDialogInProgram, CablePortIsShownLockedAndKeptOnOk)
{
    addDevice(QStringLiteral("usb-FTDI_FT232R_USB_UART_A1-if00-port0"));
    addDevice(QStringLiteral("usb-FTDI_FT232R_USB_UART_A2-if00-port0"));
    startWithCable(false);
    form1()->action(QStringLiteral("COM_Set"))->trigger();
    Form3 *dialog = app->portDialog();
    auto *port = dialog->findChild<QComboBox *>(QStringLiteral("Combo4"));
    EXPECT_EQ(port->currentText(), QStringLiteral("COM3"));
    EXPECT_FALSE(port->isEnabled());
    EXPECT_FALSE(dialog->findChild<QComboBox *>(QStringLiteral("Combo5"))->isEnabled());
    dialog->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    EXPECT_EQ(link.commPort(), 3);
    EXPECT_EQ(link.settings(), QStringLiteral("1200,N,8,1"));
    EXPECT_FALSE(dialog->isVisible());
}
