#pragma once

#include <QByteArray>
#include <QStringDecoder>
#include <vector>

// The decoding of DecodeFileText (FileText.h) for a large file taken in pieces on several cores:
// isUtf8 tells how the whole file is decoded, and each piece, cut at a line end, is then decoded on
// its own by a decoder of its own.
class FileTextDecoder {
public:
    // Whether the bytes of a whole file are read as UTF-8, and where its text begins (after a UTF-8
    // byte-order mark). GB18030's own byte-order mark is decoded as U+FEFF: the caller drops it.
    static bool isUtf8(const QByteArray &bytes, qsizetype *textStart);
    explicit FileTextDecoder(bool utf8);

    // Writes the text of [begin, end) to out, which has room for a unit per byte, and returns the end
    // of what it wrote. begin is the start of a line; end is a line end or the end of the file. Plain
    // ASCII is copied and GB18030's two-byte characters come from a table; only other bytes go
    // through the decoder (UTF-8) or the program's own GB18030 codec.
    char16_t *decode(const char *begin, const char *end, char16_t *out);

private:
    // The end of the non-ASCII run that starts at p, where the decoder is sure to stand between two
    // characters.
    const char *runEnd(const char *p, const char *end) const;

    bool m_utf8;
    QStringDecoder m_decoder; // UTF-8 only
    std::vector<char16_t> m_run;
};
