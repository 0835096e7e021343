#include "Rqx5Record.h"

#include "Rqx5Frames.h"
#include "core/InstrumentCode.h"
#include "core/NumericText.h"

namespace {

// One instrument code per character, exactly width of them, spaces after the text; false when a
// character that goes on the wire has no code (it is never replaced: the instrument would store
// another point than the table shows).
bool appendField(QByteArray &record, const QString &text, int width)
{
    for (int i = 0; i < width; ++i) {
        const auto code = i < text.size() ? CharacterToCode(text.at(i)) : std::optional<unsigned char>(' ');
        if (!code)
            return false;
        record.append(static_cast<char>(*code));
    }
    return true;
}

} // namespace

namespace Rqx5Record {

QByteArray sendHeader(int count)
{
    QByteArray header;
    header.append(static_cast<char>(Rqx5Frames::kLead));
    header.append(static_cast<char>(Rqx5Frames::kSendHeaderMark));
    header.append(static_cast<char>((count >> 8) & 0xFF));
    header.append(static_cast<char>(count & 0xFF));
    header.append(Rqx5Frames::kEndPair);
    return header;
}

std::optional<QByteArray> coordinateRecord(const QString &number, const QString &name, const QString &north,
                                           const QString &east, const QString &height)
{
    using namespace Rqx5Frames;
    QByteArray record;
    record.reserve(kCoordinateRecordLength);
    record.append(static_cast<char>(Rqx5Frames::kCoordinateStart));
    const QString paddedNumber =
        number.size() < kNumberDigits ? number.rightJustified(kNumberDigits, u'0') : number;
    if (!appendField(record, QStringLiteral("  ") + paddedNumber, kNumberWidth) ||
        !appendField(record, QStringLiteral(" ") + name, kNameWidth) ||
        !appendField(record, north, kCoordinateWidth) || !appendField(record, east, kCoordinateWidth) ||
        !appendField(record, height, kCoordinateWidth))
        return std::nullopt;
    record.append(static_cast<char>(Rqx5Frames::kCoordinateEnd));
    return record;
}

QString receivedPointNumber(const QString &text)
{
    if (text.isEmpty() || DecimalNumberLength(text) == text.size())
        return ShortestDecimal(NumericValue(text));
    int zeros = 0;
    while (zeros < text.size() - 1 && text[zeros] == u'0')
        ++zeros;
    return text.mid(zeros);
}

} // namespace Rqx5Record
