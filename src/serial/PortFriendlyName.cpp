#include "PortFriendlyName.h"

#include <QRegularExpression>

QString PortFromFriendlyName(const QString &friendlyName)
{
    // The system appends the port to the device's description: "(COMn)" is the last thing in the name.
    static const QRegularExpression pattern(QStringLiteral("\\((COM([1-9][0-9]{0,2}))\\)\\s*$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const auto match = pattern.match(friendlyName);
    if (!match.hasMatch() || match.captured(2).toInt() > 256)
        return {};
    return match.captured(1).toUpper();
}
