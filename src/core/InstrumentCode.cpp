#include "InstrumentCode.h"

namespace {
constexpr int kDegreeCode = 125;
constexpr int kMinuteCode = 126;
constexpr int kSecondCode = 127;
} // namespace

QString CodeToCharacter(int code)
{
    if (code == ' ' || code == '+' || code == '-' || code == '.' || (code >= '0' && code <= '9') ||
        (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z'))
        return QString(QChar(code));
    switch (code) {
    case kDegreeCode:
        return QStringLiteral("\u00B0");
    case kMinuteCode:
        return QStringLiteral("\u2032");
    case kSecondCode:
        return QStringLiteral("\u2033");
    default:
        return QString::number(code);
    }
}

std::optional<unsigned char> CharacterToCode(QChar character)
{
    const char16_t c = character.unicode();
    if (c == u' ' || c == u'+' || c == u'-' || c == u'.' || (c >= u'0' && c <= u'9') ||
        (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'))
        return static_cast<unsigned char>(c);
    return std::nullopt; // the angle marks are received, never sent
}

std::optional<QByteArray> TextToCodes(const QString &text)
{
    QByteArray codes;
    codes.reserve(text.size());
    for (QChar character : text) {
        const auto code = CharacterToCode(character);
        if (!code)
            return std::nullopt;
        codes.append(static_cast<char>(*code));
    }
    return codes;
}

int FirstUncodableCharacter(const QString &text)
{
    for (int i = 0; i < text.size(); ++i) {
        if (!CharacterToCode(text.at(i)))
            return i;
    }
    return -1;
}
