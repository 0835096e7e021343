#include "NumericText.h"

#include <cmath>

double NumericValue(const QString &text)
{
    int i = 0;
    const int n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    QString digits;
    bool anyDigit = false;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
        digits.append(text[i++]);
        anyDigit = true;
    }
    if (i < n && text[i] == u'.') {
        digits.append(u'.');
        ++i;
        while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
            digits.append(text[i++]);
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return 0;
    const double value = digits.toDouble();
    return negative ? -value : value;
}

QString ShortestDecimal(double value)
{
    if (value == 0 || !std::isfinite(value))
        return QStringLiteral("0");
    if (std::fabs(value) < 1e15 && value == std::trunc(value))
        return QString::number(static_cast<long long>(value));
    QString text = QString::number(value, 'f', 10);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}
