#pragma once

#include <QString>
#include <string_view>

// The texts of a drawing (labels, attribute tags and values) as the program shows them.
class DrawingText {
public:
    enum class Encoding {
        Gbk,    // the Chinese code page ANSI_936, and any code page not known here
        Latin1, // ANSI_1252, the western code page
        Utf8,   // every drawing from AC1021 (R2007) on
    };

    // The encoding of a drawing's texts from its header's $ACADVER and $DWGCODEPAGE. A drawing
    // without a code page is taken for one written on a Chinese system.
    static Encoding encodingOf(std::string_view version, std::string_view codePage);

    // The text of a value: decoded, and the escapes \U+XXXX (a Unicode character) and \M+5XXXX (a
    // character of the Chinese code page) put back as the characters they stand for.
    static QString decode(std::string_view bytes, Encoding encoding);

    // The plain text of an MTEXT: its paragraph breaks (\P) and hard blanks (\~) as blanks, its
    // format codes (\H2.5; \fArial|b0; \C1; \L and the like) and format braces left out, and the
    // escaped backslash and braces as themselves.
    static QString plainMText(const QString &text);
};
