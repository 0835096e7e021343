#include "core/InstrumentCode.h"
#include "support/FuzzTargets.h"

namespace {
// The codes that have a character: space, "+", "-", ".", digits, letters, and the three angle marks
// (received only).
bool hasCharacter(int code)
{
    return code == ' ' || code == '+' || code == '-' || code == '.' || (code >= '0' && code <= '9') ||
           (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z') || (code >= 125 && code <= 127);
}
} // namespace

// The instrument character code both ways. Byte 0 chooses the direction; the rest are received
// codes, or a text to send as UTF-16 units.
QString FuzzInstrumentCode(FuzzInput &input)
{
    const bool send = input.byte() & 1;
    const QByteArray bytes = input.rest();
    if (!send) {
        // A code with a character reads as that one character, which sends as the same code unless it
        // is an angle mark; any other code reads as its decimal text.
        for (const char byte : bytes) {
            const int code = static_cast<unsigned char>(byte);
            const QString text = CodeToCharacter(code);
            const bool ok = !hasCharacter(code) ? text == QString::number(code)
                            : code >= 125       ? text.size() == 1 && !CharacterToCode(text[0])
                                                : text.size() == 1 && CharacterToCode(text[0]) == code;
            if (!ok)
                return QStringLiteral("code %1 reads as %2").arg(code).arg(text);
        }
        return {};
    }
    const QString text(reinterpret_cast<const QChar *>(bytes.constData()), bytes.size() / 2);
    const auto codes = TextToCodes(text);
    const int uncodable = FirstUncodableCharacter(text);
    if (codes.has_value() != (uncodable < 0))
        return QStringLiteral("%1: first character without a code at %2, yet it encodes: %3")
            .arg(text)
            .arg(uncodable)
            .arg(codes.has_value());
    if (codes && codes->size() != text.size())
        return QStringLiteral("%1 gives %2 codes").arg(text).arg(codes->size());
    for (qsizetype i = 0; codes && i < text.size(); ++i) {
        const int code = static_cast<unsigned char>(codes->at(i));
        if (!hasCharacter(code) || CodeToCharacter(code) != text.at(i))
            return QStringLiteral("%1: character %2 is sent as code %3").arg(text).arg(i).arg(code);
    }
    return {};
}
