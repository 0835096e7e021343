#include "DrawingText.h"

#include "Gb18030Codec.h"

#include <vector>

namespace {

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

// The value of the four hex digits at text[at], or -1.
int hex4(const QString &text, qsizetype at)
{
    if (at + 4 > text.size())
        return -1;
    int value = 0;
    for (qsizetype k = at; k < at + 4; ++k) {
        const int digit = hexValue(text[k]);
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

QString decodeGbk(std::string_view bytes)
{
    std::vector<char16_t> out(bytes.size() + 1);
    const char16_t *end = Gb18030Codec::decode(bytes.data(), bytes.data() + bytes.size(), out.data());
    return QString(reinterpret_cast<const QChar *>(out.data()), end - out.data());
}

bool isAscii(std::string_view bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// \U+XXXX and \M+5XXXX, where they stand.
QString replaceEscapes(const QString &text)
{
    if (!text.contains(u'\\'))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (text[at] == u'\\' && at + 2 < text.size() && text[at + 2] == u'+') {
            const QChar kind = text[at + 1].toUpper();
            if (kind == u'U') {
                const int code = hex4(text, at + 3);
                if (code >= 0) {
                    out.append(QChar(char16_t(code)));
                    at += 6;
                    continue;
                }
            } else if (kind == u'M' && at + 3 < text.size() && text[at + 3] == u'5') {
                const int code = hex4(text, at + 4);
                if (code >= 0) {
                    const char pair[2] = {char(code >> 8), char(code & 0xFF)};
                    out.append(decodeGbk(std::string_view(pair, 2)));
                    at += 7;
                    continue;
                }
            }
        }
        out.append(text[at]);
    }
    return out;
}

} // namespace

DrawingText::Encoding DrawingText::encodingOf(std::string_view version, std::string_view codePage)
{
    // AC1021 and later: the versions compare as their digits do.
    if (version.size() == 6 && version.substr(0, 2) == "AC" && version.substr(2) >= "1021")
        return Encoding::Utf8;
    if (codePage == "ANSI_1252" || codePage == "ansi_1252")
        return Encoding::Latin1;
    return Encoding::Gbk;
}

QString DrawingText::decode(std::string_view bytes, Encoding encoding)
{
    QString text;
    if (isAscii(bytes))
        text = QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    else if (encoding == Encoding::Utf8)
        text = QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    else if (encoding == Encoding::Latin1)
        text = QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    else
        text = decodeGbk(bytes);
    return replaceEscapes(text);
}

QString DrawingText::plainMText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype at = 0; at < text.size(); ++at) {
        const QChar c = text[at];
        if (c == u'{' || c == u'}')
            continue;
        if (c != u'\\' || at + 1 >= text.size()) {
            out.append(c);
            continue;
        }
        const QChar code = text[++at];
        switch (code.unicode()) {
        case u'P':
        case u'~':
            out.append(u' ');
            break;
        case u'\\':
        case u'{':
        case u'}':
            out.append(code);
            break;
        case u'L':
        case u'l':
        case u'O':
        case u'o':
        case u'K':
        case u'k':
            break; // underline, overline, strike-through on or off
        default: {
            // A code with a value up to its semicolon (\H2.5; \fArial|b0|i0; \C1; \S1^2;).
            // Without its semicolon it is no code: the backslash stands for itself.
            const qsizetype semicolon = text.indexOf(u';', at);
            if (semicolon < 0)
                out.append(u'\\').append(code);
            else
                at = semicolon;
            break;
        }
        }
    }
    return out;
}
