#include "serial/PortOpenFailure.h"
#include "serial/QSerialLink.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>

namespace {
const QString kCable =
    QStringLiteral("/dev/serial/by-id/usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0");

struct DetailCase {
    const char *name;
    PortOpenFailure failure;
    QString detail;
};
} // namespace

// The detail tells the device, the system's words and the remedy a user can apply.
TEST(PortOpenFailure, DetailTellsDeviceReasonAndRemedy)
{
    const DetailCase cases[] = {
        {"no permission",
         {kCable, QStringLiteral("/dev/ttyUSB0"), QStringLiteral("dialout"),
          QStringLiteral("Permission denied"), PortOpenFailure::Cause::NoPermission},
         QStringLiteral("设备：") + kCable +
             QStringLiteral(
                 " → /dev/ttyUSB0\n系统错误：Permission denied\n\n"
                 "当前用户没有读写该串口的权限：串口只允许 dialout 组的成员使用。"
                 "安装了本程序的软件包时，重新插拔电缆即可；否则请运行下面的命令，然后注销并重新登录：\n"
                 "sudo usermod -aG dialout $USER")},
        {"held by another program",
         {QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyS0"), QStringLiteral("dialout"),
          QStringLiteral("Permission error while locking the device"), PortOpenFailure::Cause::InUse},
         QStringLiteral("设备：/dev/ttyS0\n系统错误：Permission error while locking the device\n\n"
                        "该串口正被其他程序使用，请关闭那个程序后再试。")},
        {"device gone",
         {kCable, QString(), QString(), QStringLiteral("No such file or directory"),
          PortOpenFailure::Cause::Other},
         QStringLiteral("设备：") + kCable + QStringLiteral("\n系统错误：No such file or directory")},
        {"nothing recorded", {}, QString()},
    };
    for (const DetailCase &c : cases)
        EXPECT_EQ(PortFailureDetail(c.failure), c.detail) << c.name;
}

// A device the user may use but that the port reports as a permission error is held by another
// program: the remedy is not to join a group. A link that leads nowhere has no target.
TEST(PortOpenFailure, ObservedCauseFollowsTheDevicesPermissions)
{
    QTemporaryDir dir;
    const QString usable = dir.filePath(QStringLiteral("usable"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), usable));
    const PortOpenFailure held =
        PortOpenFailure::observe(usable, QSerialPort::PermissionError, QStringLiteral("x"));
    EXPECT_EQ(held.target, QStringLiteral("/dev/null"));
    EXPECT_EQ(held.cause, PortOpenFailure::Cause::InUse);
    // /dev/null belongs to root, whose group is never the remedy.
    EXPECT_EQ(held.group, QStringLiteral("dialout"));

    const QString gone = dir.filePath(QStringLiteral("gone"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/nonexistent/ttyUSB9"), gone));
    const PortOpenFailure missing =
        PortOpenFailure::observe(gone, QSerialPort::DeviceNotFoundError, QStringLiteral("y"));
    EXPECT_TRUE(missing.target.isEmpty());
    EXPECT_EQ(missing.cause, PortOpenFailure::Cause::Other);
}

// The production link keeps what the system said about a failed open.
TEST(PortOpenFailure, LinkRecordsTheFailedOpen)
{
    QTemporaryDir dir;
    const QString entry = dir.filePath(QStringLiteral("usb-Prolific-gone"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/nonexistent/ttyUSB9"), entry));
    QSerialLink link(dir.path());
    link.setCommPort(1);
    EXPECT_FALSE(link.lastOpenFailure().happened());
    ASSERT_FALSE(link.open());
    EXPECT_EQ(link.lastOpenFailure().device, entry);
    EXPECT_EQ(link.lastOpenFailure().reason, QString::fromLocal8Bit(std::strerror(ENOENT)));

    // No device for the port: nothing the system could say, and the earlier failure is not kept.
    link.setCommPort(2);
    ASSERT_FALSE(link.open());
    EXPECT_FALSE(link.lastOpenFailure().happened());
}
