#include "Rqx2MeasurementRecord.h"

#include "Rqx2CoordinateRecord.h"
#include "Rqx2Frames.h"
#include "Rqx2MeasurementList.h"
#include "core/NumericText.h"

namespace {
constexpr unsigned char kAcknowledgementStart = 0x06;

// How the characters of a field become its text.
enum class Rule {
    Text,    // the characters with every space dropped
    Angle,   // ddd mm ss: '090' '00' '00' gives '90°00′00″'
    Number,  // an integer run, then "." and 3 decimals as they are
    SignedA, // the same, the sign in the run's first place ('-0001' '.200' gives '-1.200')
    SignedB, // a sign character of its own before the run ('-' '000' '.350' gives '-0.350')
};

// A field: the list column (under NEZ) whose store it fills, its rule, the character it starts at
// and, for numbers, the width of the integer run (the sign character of SignedB not counted).
struct Field {
    int column;
    Rule rule;
    int at;
    int run;
};

constexpr int kTextWidth = 7;
constexpr int kFractionWidth = 4; // "." and 3 decimals
constexpr int kDegreeWidth = 3;
constexpr int kMinuteWidth = 2;

constexpr Field kStationFields[] = {
    {13, Rule::Text, 9, 0},     {14, Rule::Text, 16, 0},    {15, Rule::SignedA, 23, 4},
    {16, Rule::SignedA, 31, 9}, {17, Rule::SignedA, 44, 9}, {18, Rule::SignedA, 57, 9},
};
constexpr Field kBacksightFields[] = {
    {19, Rule::Text, 9, 0},
    {20, Rule::Text, 16, 0},
    {21, Rule::Angle, 23, 0},
};
constexpr Field kMeasurementFields[] = {
    {1, Rule::Text, 9, 0},      {2, Rule::Text, 16, 0},     {3, Rule::Angle, 23, 0},
    {4, Rule::Angle, 30, 0},    {5, Rule::Number, 37, 5},   {6, Rule::SignedA, 46, 5},
    {7, Rule::Number, 55, 5},   {8, Rule::SignedB, 64, 3},  {9, Rule::SignedB, 72, 3},
    {10, Rule::SignedB, 80, 8}, {11, Rule::SignedB, 93, 8}, {12, Rule::SignedB, 106, 8},
};

class FieldReader {
public:
    explicit FieldReader(const std::vector<QString> &characters) : m_characters(characters) {}

    QString text(const Field &field) const
    {
        switch (field.rule) {
        case Rule::Text:
            return joined(field.at, kTextWidth).remove(u' ');
        case Rule::Angle:
            return integerText(joined(field.at, kDegreeWidth)) + QStringLiteral("\u00B0") +
                   joined(field.at + kDegreeWidth, kMinuteWidth) + QStringLiteral("\u2032") +
                   joined(field.at + kDegreeWidth + kMinuteWidth, kMinuteWidth) + QStringLiteral("\u2033");
        case Rule::Number:
            return integerText(joined(field.at, field.run)) + joined(field.at + field.run, kFractionWidth);
        case Rule::SignedA:
            return signedText(QString(), field.at, field.run);
        case Rule::SignedB:
            return signedText(character(field.at), field.at + 1, field.run);
        }
        return {};
    }

private:
    const QString &character(int k) const
    {
        static const QString none;
        return k >= 0 && static_cast<size_t>(k) < m_characters.size() ? m_characters[static_cast<size_t>(k)]
                                                                      : none;
    }
    QString joined(int from, int width) const
    {
        QString text;
        for (int k = from; k < from + width; ++k)
            text += character(k);
        return text;
    }
    // The run's numeric value as decimal text: leading zeros vanish, a blank run gives "0". The
    // instrument may pad with spaces as well as zeros.
    static QString integerText(QString run) { return ShortestDecimal(NumericValue(run.remove(u' '))); }
    // A minus sign anywhere in the run counts as the run's sign, as in coordinate records, so a value
    // below 1 keeps it ('-0000' '.200' gives '-0.200') and no minus is ever dropped unseen.
    QString signedText(const QString &sign, int runAt, int runWidth) const
    {
        QString run = joined(runAt, runWidth);
        const bool negative = sign == QLatin1String("-") || run.contains(u'-');
        QString text = integerText(run.remove(u'-'));
        if (negative)
            text.prepend(u'-');
        return text + joined(runAt + runWidth, kFractionWidth);
    }

    const std::vector<QString> &m_characters;
};

template <size_t N>
void store(const Field (&fields)[N], const std::vector<QString> &characters, Rqx2MeasurementTexts &texts,
           long index)
{
    const FieldReader reader(characters);
    for (const Field &field : fields)
        Rqx2MeasurementList::columnStore(texts, field.column).set(index, reader.text(field));
}
} // namespace

Rqx2MeasurementRecord::Kind Rqx2MeasurementRecord::kind(unsigned char byte)
{
    switch (byte) {
    case Header:
    case '7':
        return Header;
    case Station:
    case '8':
        return Station;
    case Backsight:
    case '9':
        return Backsight;
    case Measurement:
        return Measurement;
    default:
        return Other;
    }
}

int Rqx2MeasurementRecord::length(Kind kind)
{
    switch (kind) {
    case Header:
        return kHeaderLength;
    case Station:
        return kStationLength;
    case Backsight:
        return kBacksightLength;
    case Measurement:
        return kMeasurementLength;
    case Other:
        break;
    }
    return 0;
}

QByteArray Rqx2MeasurementRecord::acknowledgement(int current, int total)
{
    QByteArray ack;
    ack.append(static_cast<char>(kAcknowledgementStart));
    ack.append(Rqx2CoordinateRecord::fourDigits(current));
    ack.append(Rqx2CoordinateRecord::fourDigits(total));
    ack.append(static_cast<char>(Rqx2Frames::kEnd));
    return ack;
}

void Rqx2MeasurementRecord::storeFields(Kind kind, const std::vector<QString> &characters,
                                        Rqx2MeasurementTexts &texts, long index)
{
    switch (kind) {
    case Station:
        store(kStationFields, characters, texts, index);
        break;
    case Backsight:
        store(kBacksightFields, characters, texts, index);
        break;
    case Measurement:
        store(kMeasurementFields, characters, texts, index);
        break;
    case Header:
    case Other:
        break;
    }
}
