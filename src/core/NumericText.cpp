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

qsizetype WriteShortestDecimal(double value, char *out)
{
    if (value == 0 || !std::isfinite(value)) {
        out[0] = '0';
        return 1;
    }
    // At most 15 significant digits: a double holds 15 for certain, and a 16th or 17th would show
    // the binary rounding of coordinates in the millions (3456789.1234 as 3456789.1233999999).
    constexpr int kSignificantDigits = 15;
    if (std::fabs(value) < 1e15) {
        if (value == std::trunc(value))
            return std::to_chars(out, out + kShortestDecimalMaxLength, static_cast<long long>(value)).ptr -
                   out;
        // The shortest form that reads back as the same number: when it has no more than 15
        // significant digits it is also the number rounded to 15 digits, the usual case by far.
        const auto shortest =
            std::to_chars(out, out + kShortestDecimalMaxLength, value, std::chars_format::fixed);
        if (shortest.ec == std::errc()) {
            int significant = 0;
            bool leading = true;
            for (const char *c = out; c < shortest.ptr; ++c) {
                if (*c < '0' || *c > '9' || (leading && *c == '0'))
                    continue;
                leading = false;
                ++significant;
            }
            if (significant <= kSignificantDigits)
                return shortest.ptr - out;
        }
    }
    char scientific[40];
    const auto written = std::to_chars(scientific, scientific + sizeof scientific, value,
                                       std::chars_format::scientific, kSignificantDigits - 1);
    if (written.ec != std::errc()) {
        out[0] = '0';
        return 1;
    }
    // [-]d.dddddddddddddde[+-]x..
    const char *p = scientific;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    char digits[kSignificantDigits];
    int count = 0;
    for (; p < written.ptr && *p != 'e'; ++p) {
        if (*p != '.' && count < kSignificantDigits)
            digits[count++] = *p;
    }
    int exponent = 0;
    std::from_chars(p < written.ptr ? p + 1 + (p[1] == '+') : written.ptr, written.ptr, exponent);
    while (count > 1 && digits[count - 1] == '0')
        --count;

    char *o = out;
    if (negative)
        *o++ = '-';
    if (exponent < 0) {
        *o++ = '0';
        *o++ = '.';
        for (int k = 0; k < -exponent - 1; ++k)
            *o++ = '0';
        for (int k = 0; k < count; ++k)
            *o++ = digits[k];
        return o - out;
    }
    for (int k = 0; k <= exponent || k < count; ++k) {
        if (k == exponent + 1)
            *o++ = '.';
        *o++ = k < count ? digits[k] : '0';
    }
    return o - out;
}

QString ShortestDecimal(double value)
{
    char text[kShortestDecimalMaxLength];
    return QString::fromLatin1(text, WriteShortestDecimal(value, text));
}

char16_t *WriteRowNumber(int number, char16_t *end)
{
    unsigned value = number > 0 ? static_cast<unsigned>(number) : 0;
    do {
        *--end = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value > 0);
    return end;
}
