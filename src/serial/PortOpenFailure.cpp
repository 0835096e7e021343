#include "PortOpenFailure.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <unistd.h>

namespace {
// Debian and most distributions give serial devices to this group.
const QString kSerialGroup = QStringLiteral("dialout");
} // namespace

PortOpenFailure PortOpenFailure::observe(const QString &device, QSerialPort::SerialPortError error,
                                         const QString &reason)
{
    PortOpenFailure failure;
    failure.device = device;
    failure.reason = reason;
    const QFileInfo info(device);
    failure.target = info.canonicalFilePath();
    if (failure.target.isEmpty())
        return failure;
    const QString owner = QFileInfo(failure.target).group();
    // Joining root's group is never the remedy; then the usual group is named.
    failure.group = owner.isEmpty() || owner == QLatin1String("root") ? kSerialGroup : owner;
    // The port reports a device it may not open and one that another program holds (its lock file,
    // or the device opened for exclusive use) alike; the device's own permissions tell them apart.
    if (::access(QFile::encodeName(failure.target).constData(), R_OK | W_OK) != 0 &&
        (errno == EACCES || errno == EPERM))
        failure.cause = Cause::NoPermission;
    else if (error == QSerialPort::PermissionError)
        failure.cause = Cause::InUse;
    return failure;
}

QString PortFailureDetail(const PortOpenFailure &failure)
{
    if (!failure.happened())
        return {};
    QString device = failure.device;
    if (!failure.target.isEmpty() && failure.target != failure.device)
        device += QStringLiteral(" → ") + failure.target;
    QString text = QStringLiteral("设备：%1\n系统错误：%2").arg(device, failure.reason);
    switch (failure.cause) {
    case PortOpenFailure::Cause::NoPermission:
        // The package's udev rule grants the cable to the user at the seat when it is plugged in; a
        // build from source, or another cable, still needs the group.
        text += QStringLiteral(
                    "\n\n当前用户没有读写该串口的权限：串口只允许 %1 组的成员使用。"
                    "安装了本程序的软件包时，重新插拔电缆即可；否则请运行下面的命令，然后注销并重新登录：\n"
                    "sudo usermod -aG %1 $USER")
                    .arg(failure.group);
        break;
    case PortOpenFailure::Cause::InUse:
        text += QStringLiteral("\n\n该串口正被其他程序使用，请关闭那个程序后再试。");
        break;
    case PortOpenFailure::Cause::Other:
        break;
    }
    return text;
}
