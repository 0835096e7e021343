#include "NumericText.h"

#include <charconv>
#include <cmath>

qsizetype DecimalNumberLength(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    auto isDigit = [&](qsizetype k) { return k < n && text[k] >= u'0' && text[k] <= u'9'; };
    bool anyDigit = false;
    while (isDigit(i)) {
        ++i;
        anyDigit = true;
    }
    if (i < n && text[i] == u'.') {
        ++i;
        while (isDigit(i)) {
            ++i;
            anyDigit = true;
        }
    }
    return anyDigit ? i : 0;
}

double NumericValue(QStringView text)
{
    qsizetype start = 0;
    while (start < text.size() && (text[start] == u' ' || text[start] == u'\t'))
        ++start;
    const qsizetype length = DecimalNumberLength(text.mid(start));
    if (length == 0)
        return 0;
    // Sign, digits and point stand together; a usual number is read from a small buffer on the
    // stack, as a million-row duplicate check reads one per row.
    QStringView number = text.mid(start, length);
    if (number.startsWith(u'+'))
        number = number.mid(1);
    char buffer[64];
    if (number.size() < qsizetype(sizeof buffer)) {
        for (qsizetype k = 0; k < number.size(); ++k)
            buffer[k] = static_cast<char>(number[k].unicode());
        double value = 0;
        const auto result = std::from_chars(buffer, buffer + number.size(), value);
        if (result.ec == std::errc())
            return value;
    }
    if (number.endsWith(u'.'))
        number.chop(1);
    return number.toDouble();
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
