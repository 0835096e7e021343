#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class QIODevice;

// Coordinate files are written in GB18030, which gives the same bytes as GBK for every GBK character
// and keeps any other character instead of turning it into "?".
QByteArray EncodeFileText(QStringView text);

// A file whose GB18030 bytes are well-formed UTF-8 as well would read back as other text (a few
// Chinese characters are: 茅 is C3 A9, é in UTF-8), and so would one whose text begins with a
// byte-order mark. Such a file begins with GB18030's own byte-order mark, which DecodeFileText drops;
// every other file is written without it, as other programs expect.
class Gb18030ByteOrderMark {
public:
    static const QByteArray kBytes; // 84 31 95 33
    // Is told the texts of a file in order, each standing between ASCII characters (the cells of
    // rows, say). False once the file is known to need no mark: the rest need not be told.
    bool add(QStringView text);
    bool needed() const { return m_needed || (m_open && m_multiByte); }

private:
    bool m_atStart = true;
    bool m_open = true;
    bool m_multiByte = false;
    bool m_needed = false;
};

// The bytes of a whole file of this text: EncodeFileText's, after GB18030's byte-order mark when the
// file needs one.
QByteArray EncodeFile(QStringView text);

// A file is read as UTF-8 when it starts with a UTF-8 byte-order mark or is valid UTF-8 holding
// multi-byte sequences (files from other tools), otherwise as GB18030. A byte-order mark is not
// part of the text.
QString DecodeFileText(const QByteArray &bytes);

// Reads a whole file. On failure returns false and sets error to the reason, in words for the user.
bool ReadFileBytes(const QString &path, QByteArray *bytes, QString *error);

// Writes a file through QSaveFile, so a failed save never leaves a half-written file in place of the
// old one: write puts the whole content into the file and tells whether the file took it. On failure
// returns false and sets error to the reason, in words for the user.
bool WriteFileAtomically(const QString &path, const std::function<bool(QIODevice &)> &write, QString *error);
bool WriteFileAtomically(const QString &path, const QByteArray &bytes, QString *error);
