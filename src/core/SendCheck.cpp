#include "SendCheck.h"

#include "CoordinateTableModel.h"
#include "InstrumentCode.h"

QString CheckRowsForSend(const CoordinateTableModel &table, const SendLimits &limits)
{
    const int n = table.count();
    if (n > limits.maxRows)
        return QStringLiteral("坐标数据共%1点，超过仪器一次所能接收的%2点，请分批发送！").arg(n).arg(limits.maxRows);

    const QStringList headers = table.headers();
    for (int row = 1; row <= n; ++row) {
        for (int column = 1; column < CoordinateTableModel::kColumnCount; ++column) {
            const QString text = table.cell(row, column);
            const QString field = QString(headers.at(column)).remove(u' ');
            const int bad = FirstUncodableCharacter(text);
            if (bad >= 0)
                return QStringLiteral("第%1行的%2“%3”含有仪器不能接收的字符“%4”，请修改后再发送！")
                    .arg(row)
                    .arg(field, text, QString(text.at(bad)));
            if (column >= 3 && limits.coordinateFits && !limits.coordinateFits(text))
                return QStringLiteral("第%1行的%2“%3”超出仪器的坐标格式（整数最多9位，小数最多4位），请修改后再发送！")
                    .arg(row)
                    .arg(field, text);
        }
    }
    return {};
}
