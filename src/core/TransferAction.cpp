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
    case SetText:
        return QStringLiteral("set %1 %2").arg(target, text);
    case ShowControl:
        return (number ? QStringLiteral("show ") : QStringLiteral("hide ")) + target;
    case SelectOption:
        return QStringLiteral("select ") + target;
    case SetColumns:
        return QStringLiteral("columns %1 %2")
            .arg(target, number ? QStringLiteral("nez") : QStringLiteral("enz"));
    case AddRow:
        return QStringLiteral("row ") + cells.join(u'|');
    case ClearRows:
        return QStringLiteral("clearRows");
    case TruncateRows:
        return QStringLiteral("truncate %1").arg(number);
    case ShowMessage:
        return QStringLiteral("message %1|%2").arg(target, text);
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
