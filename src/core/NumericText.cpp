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
    // Sign, digits and point stand together.
    QStringView number = text.mid(start, length);
    const bool negative = number.startsWith(u'-');
    if (number.startsWith(u'+') || negative)
        number = number.mid(1);

    // Up to 15 digits the digits make an exact whole number, and one division by an exact power of
    // ten rounds it as reading the text would: a million-row drawing reads three numbers a row.
    constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    qint64 digits = 0;
    int count = 0;
    int decimals = 0;
    bool point = false;
    for (const QChar c : number) {
        if (c == u'.') {
            point = true;
            continue;
        }
        digits = digits * 10 + (c.unicode() - u'0');
        if (digits > 0 && ++count > 15)
            break;
        decimals += point;
    }
    if (count <= 15 && decimals <= 15) {
        const double value = double(digits) / kPowersOfTen[decimals];
        return negative ? -value : value;
    }

    // A longer number is read from a small buffer on the stack.
    char buffer[64];
    if (number.size() < qsizetype(sizeof buffer) - 1) {
        qsizetype used = 0;
        if (negative)
            buffer[used++] = '-';
        for (const QChar c : number)
            buffer[used++] = static_cast<char>(c.unicode());
        double value = 0;
        const auto result = std::from_chars(buffer, buffer + used, value);
        if (result.ec == std::errc())
            return value;
    }
    if (number.endsWith(u'.'))
        number.chop(1);
    const double value = number.toDouble();
    return negative ? -value : value;
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
    auto written = std::to_chars(scientific, scientific + sizeof scientific, value,
                                 std::chars_format::scientific, kSignificantDigits - 1);
    if (written.ec != std::errc()) {
        out[0] = '0';
        return 1;
    }
    // Rounded to 15 digits, the very largest numbers a double holds would read back as more than any
    // double can: those keep the digits that read back as themselves (17 at most).
    double check = 0;
    if (std::from_chars(scientific, written.ptr, check).ec == std::errc::result_out_of_range)
        written =
            std::to_chars(scientific, scientific + sizeof scientific, value, std::chars_format::scientific);
    // [-]d.dddddddddddddde[+-]x..
    const char *p = scientific;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    constexpr int kMostDigits = 17;
    char digits[kMostDigits];
    int count = 0;
    for (; p < written.ptr && *p != 'e'; ++p) {
        if (*p != '.' && count < kMostDigits)
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

qsizetype WriteShortestValue(QStringView text, char *out)
{
    qsizetype start = 0;
    while (start < text.size() && (text[start] == u' ' || text[start] == u'\t'))
        ++start;
    const QStringView number = text.mid(start, DecimalNumberLength(text.mid(start)));
    const auto isDigit = [&](qsizetype k) {
        return k < number.size() && number[k] >= u'0' && number[k] <= u'9';
    };
    qsizetype i = 0;
    const bool negative = !number.isEmpty() && number[0] == u'-';
    if (!number.isEmpty() && (number[0] == u'-' || number[0] == u'+'))
        ++i;
    while (i < number.size() && number[i] == u'0')
        ++i;
    const qsizetype integerBegin = i;
    while (isDigit(i))
        ++i;
    const qsizetype integerEnd = i;
    qsizetype fractionBegin = i;
    qsizetype fractionEnd = i;
    if (i < number.size() && number[i] == u'.') {
        fractionBegin = i + 1;
        fractionEnd = number.size();
        while (fractionEnd > fractionBegin && number[fractionEnd - 1] == u'0')
            --fractionEnd;
    }
    // Up to 15 digits a decimal number is exactly what its double gives back in shortest form; more
    // are rounded, which only the double can tell.
    constexpr qsizetype kExactDigits = 15;
    const qsizetype digits = (integerEnd - integerBegin) + (fractionEnd - fractionBegin);
    if (digits > kExactDigits)
        return WriteShortestDecimal(NumericValue(text), out);
    char *o = out;
    if (digits == 0) {
        *o++ = '0';
        return 1;
    }
    if (negative)
        *o++ = '-';
    if (integerEnd == integerBegin)
        *o++ = '0';
    for (qsizetype k = integerBegin; k < integerEnd; ++k)
        *o++ = static_cast<char>(number[k].unicode());
    if (fractionEnd > fractionBegin) {
        *o++ = '.';
        for (qsizetype k = fractionBegin; k < fractionEnd; ++k)
            *o++ = static_cast<char>(number[k].unicode());
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
