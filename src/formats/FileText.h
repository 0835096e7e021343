#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <functional>
#include <vector>

class QIODevice;

// Coordinate files are written in GB18030, which gives the same bytes as GBK for every GBK character
// and keeps any other character instead of turning it into "?".
QByteArray EncodeFileText(QStringView text);

// A file is read as UTF-8 when it starts with a UTF-8 byte-order mark or is valid UTF-8 holding
// multi-byte sequences (files from other tools), otherwise as GB18030. A byte-order mark is not
// part of the text.
QString DecodeFileText(const QByteArray &bytes);

// The same decoding for a large file taken in pieces, on several cores: isUtf8 tells how the whole
// file is decoded, and each piece, cut at a line end, is then decoded on its own by a decoder of its
// own.
class FileTextDecoder {
public:
    // Whether the bytes of a whole file are read as UTF-8, and where its text begins (after a UTF-8
    // byte-order mark). GB18030's own byte-order mark is decoded as U+FEFF: the caller drops it.
    static bool isUtf8(const QByteArray &bytes, qsizetype *textStart);
    explicit FileTextDecoder(bool utf8);

    // Writes the text of [begin, end) to out, which has room for a unit per byte, and returns the end
    // of what it wrote. begin is the start of a line; end is a line end or the end of the file. Plain
    // ASCII is copied and GB18030's two-byte characters come from a table; only other bytes go
    // through the code page's decoder.
    char16_t *decode(const char *begin, const char *end, char16_t *out);

private:
    // The end of the non-ASCII run that starts at p, where the decoder is sure to stand between two
    // characters.
    const char *runEnd(const char *p, const char *end) const;

    bool m_utf8;
    QStringDecoder m_decoder;
    std::vector<char16_t> m_run;
};

// Reads a whole file. On failure returns false and sets error to the reason, in words for the user.
bool ReadFileBytes(const QString &path, QByteArray *bytes, QString *error);

// Writes a file through QSaveFile, so a failed save never leaves a half-written file in place of the
// old one: write puts the whole content into the file and tells whether the file took it. On failure
// returns false and sets error to the reason, in words for the user.
bool WriteFileAtomically(const QString &path, const std::function<bool(QIODevice &)> &write, QString *error);
bool WriteFileAtomically(const QString &path, const QByteArray &bytes, QString *error);
