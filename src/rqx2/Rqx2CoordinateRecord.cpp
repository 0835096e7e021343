#include "Rqx2CoordinateRecord.h"

#include "Rqx2Frames.h"
#include "core/InstrumentCode.h"
#include "core/SendCheck.h"

namespace {
constexpr char kTrailingNul = 0x00;

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool allDigits(const QString &text)
{
    for (QChar c : text) {
        if (!isAsciiDigit(c))
            return false;
    }
    return true;
}

// A text field of the record: cut to 7 characters, padded with spaces on the right, coded.
std::optional<QByteArray> textField(const QString &text)
{
    return TextToCodes(
        text.left(Rqx2CoordinateRecord::kTextWidth).leftJustified(Rqx2CoordinateRecord::kTextWidth, u' '));
}
} // namespace

std::optional<QString> Rqx2CoordinateRecord::coordinateText(const QString &cell)
{
    const QString text = cell.trimmed();
    const qsizetype point = text.indexOf(u'.');
    QString integer = point < 0 ? text : text.left(point);
    QString decimals = point < 0 ? QString() : text.mid(point + 1);

    // The instrument reads the integer run as digits with a minus sign; anything else in it, or a
    // run longer than its 9 places, would reach the instrument as a different number.
    const QString digits = integer.startsWith(u'-') ? integer.mid(1) : integer;
    if (integer.size() > kIntegerWidth || !allDigits(digits) || !allDigits(decimals))
        return std::nullopt;

    decimals = decimals.left(kDecimals).leftJustified(kDecimals, u'0');
    integer = integer.rightJustified(kIntegerWidth, u'0');
    return integer + u'.' + decimals;
}

SendLimits Rqx2CoordinateRecord::sendLimits()
{
    SendLimits limits;
    limits.maxRows = kMaxCount;
    limits.coordinateFits = &Rqx2CoordinateRecord::coordinateFits;
    return limits;
}

QByteArray Rqx2CoordinateRecord::fourDigits(int number)
{
    QByteArray digits(kCounterWidth, '0');
    for (int i = kCounterWidth - 1; i >= 0 && number > 0; --i) {
        digits[i] = static_cast<char>('0' + number % 10);
        number /= 10;
    }
    return digits;
}

QByteArray Rqx2CoordinateRecord::acknowledgement(int current, int total)
{
    QByteArray ack;
    ack.reserve(kAcknowledgementLength);
    ack.append(static_cast<char>(Rqx2Frames::kStart));
    ack.append(fourDigits(current));
    ack.append(fourDigits(total));
    ack.append(static_cast<char>(Rqx2Frames::kEnd));
    ack.append(kTrailingNul);
    return ack;
}

std::optional<QByteArray> Rqx2CoordinateRecord::encode(int number, int count, const QString &pointNumber,
                                                       const QString &pointName, const QString &north,
                                                       const QString &east, const QString &height)
{
    const auto numberCodes = textField(pointNumber);
    const auto nameCodes = textField(pointName);
    const auto n = coordinateText(north);
    const auto e = coordinateText(east);
    const auto z = coordinateText(height);
    if (!numberCodes || !nameCodes || !n || !e || !z)
        return std::nullopt;
    const auto coordinateCodes = TextToCodes(*n + *e + *z);
    if (!coordinateCodes)
        return std::nullopt;

    QByteArray record;
    record.reserve(kSentLength);
    record.append(static_cast<char>(Rqx2Frames::kStart));
    record.append(fourDigits(number));
    record.append(fourDigits(count));
    record.append(*numberCodes);
    record.append(*nameCodes);
    record.append(*coordinateCodes);
    record.append(static_cast<char>(Rqx2Frames::kEnd));
    record.append(kTrailingNul);
    return record;
}
