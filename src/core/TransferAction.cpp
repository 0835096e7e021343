#include "TransferAction.h"

QString TransferAction::describe() const
{
    switch (kind) {
    case Write:
        return QStringLiteral("write ") + QString::fromLatin1(bytes.toHex(' ').toUpper());
    case ClearOutput:
        return QStringLiteral("clearOutput");
    case ClearInput:
        return QStringLiteral("clearInput");
    case OpenPort:
        return QStringLiteral("open");
    case ClosePort:
        return QStringLiteral("close");
    case SetCommPort:
        return QStringLiteral("port %1").arg(number);
    case Pause:
        return QStringLiteral("pause %1").arg(number);
    case Show:
        return ::describe(event);
    case ShowMessage:
        return QStringLiteral("message %1|%2").arg(title, text);
    case ReportPortFailure:
        return QStringLiteral("portFailure");
    case EndProgram:
        return QStringLiteral("end");
    }
    return {};
}

QStringList describe(const TransferActions &actions)
{
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(actions.size()));
    for (const TransferAction &action : actions)
        lines.append(action.describe());
    return lines;
}
