#include "SendCheck.h"

#include "CoordinateTableModel.h"
#include "InstrumentCode.h"

QString CheckRowsForSend(const CoordinateTableModel &table, const SendLimits &limits)
{
    const int n = table.count();
    QString refusal = CheckRowCountForSend(n, limits);
    for (int row = 1; row <= n && refusal.isEmpty(); ++row)
        refusal = CheckRowForSend(table, row, limits);
    return refusal;
}

QString CheckRowCountForSend(int rows, const SendLimits &limits)
{
    if (rows > limits.maxRows)
        return QStringLiteral("坐标数据共%1点，超过仪器一次所能接收的%2点，请分批发送！")
            .arg(rows)
            .arg(limits.maxRows);
    return {};
}

QString CheckRowForSend(const CoordinateTableModel &table, int row, const SendLimits &limits)
{
    const QStringList headers = table.headers();
    for (int column = 1; column < CoordinateTableModel::kColumnCount; ++column) {
        const QString text = table.cell(row, column);
        const QString field = QString(headers.at(column)).remove(u' ');
        const int bad = FirstUncodableCharacter(text);
        if (bad >= 0)
            return QStringLiteral("第%1行的%2“%3”含有仪器不能接收的字符“%4”，请修改后再发送！")
                .arg(row)
                .arg(field, text, text.mid(bad, text.at(bad).isHighSurrogate() ? 2 : 1));
        if (column >= 3 && limits.coordinateFits && !limits.coordinateFits(text))
            return QStringLiteral(
                       "第%1行的%2“%3”不是仪器能接收的坐标（只能由数字、小数点和负号组成，小数点前最多9位），"
                       "请修改后再发送！")
                .arg(row)
                .arg(field, text);
    }
    return {};
}
