#include "FileText.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace {
constexpr char kGb18030[] = "GB18030";
constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";
constexpr char kGb18030ByteOrderMark[] = "\x84\x31\x95\x33";
// The text is encoded in pieces of this many UTF-16 units: a piece of plain ASCII (coordinates,
// commas, line ends) is copied byte for byte, and no piece makes the encoder ask for four bytes per
// unit of the whole text at once.
constexpr qsizetype kEncodePiece = 1 << 16;

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Whether the bytes are well-formed UTF-8 holding at least one multi-byte sequence: no overlong
// forms, no surrogates, nothing above U+10FFFF. Text in GB18030 almost never is.
bool isMultiByteUtf8(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const auto *end = p + bytes.size();
    bool multiByte = false;
    while (p < end) {
        const unsigned char lead = *p;
        if (lead < 0x80) {
            ++p;
            continue;
        }
        int length = 0;
        unsigned char low = 0x80; // the range of the byte after the lead
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0)
                low = 0xA0;
            else if (lead == 0xED)
                high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0)
                low = 0x90;
            else if (lead == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (end - p < length || p[1] < low || p[1] > high)
            return false;
        for (int k = 2; k < length; ++k) {
            if (!isContinuation(p[k]))
                return false;
        }
        p += length;
        multiByte = true;
    }
    return multiByte;
}

// Whether the decoder may still hold the start of a sequence at the end of the bytes: a lead byte,
// or the first two or three bytes of a four-byte sequence (a lead byte and a digit, then a lead byte).
bool mayEndInsideSequence(const QByteArray &bytes)
{
    const qsizetype n = bytes.size();
    const auto at = [&bytes, n](qsizetype back) { return static_cast<unsigned char>(bytes[n - back]); };
    return (n >= 1 && at(1) >= 0x80) || (n >= 2 && at(2) >= 0x81 && at(1) >= '0' && at(1) <= '9');
}

bool isAscii(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

QString withReason(const QString &what, const QString &systemReason)
{
    return systemReason.isEmpty() ? what : what + QStringLiteral("：") + systemReason;
}
} // namespace

QByteArray EncodeFileText(const QString &text)
{
    QStringEncoder encoder(kGb18030);
    QByteArray bytes;
    bytes.reserve(text.size());
    qsizetype written = 0;
    bool allAscii = true;
    for (qsizetype pos = 0; pos < text.size();) {
        qsizetype length = std::min(kEncodePiece, text.size() - pos);
        // A surrogate pair is never split between two pieces.
        if (pos + length < text.size() && text.at(pos + length - 1).isHighSurrogate())
            --length;
        const QStringView piece = QStringView(text).mid(pos, length);
        const bool ascii = isAscii(piece);
        allAscii = allAscii && ascii;
        const qsizetype room = ascii ? length : encoder.requiredSpace(length);
        if (written + room > bytes.capacity())
            bytes.reserve(std::max(written + room, bytes.capacity() * 2));
        bytes.resize(written + room);
        char *out = bytes.data() + written;
        if (ascii) {
            for (const QChar c : piece)
                *out++ = static_cast<char>(c.unicode());
        } else {
            out = encoder.appendToBuffer(out, piece);
        }
        written = out - bytes.constData();
        pos += length;
    }
    bytes.resize(written);
    // Bytes that the reader would take for UTF-8, or a text that itself begins with a byte-order mark,
    // get GB18030's byte-order mark in front, so that the file reads back as the text it was written
    // from: a few Chinese characters in GB18030 can be well-formed UTF-8 as well (茅 is C3 A9, é in
    // UTF-8). Every other file is written without it, as other programs expect.
    if (!allAscii &&
        (text.startsWith(QChar(0xFEFF)) || bytes.startsWith(kUtf8ByteOrderMark) || isMultiByteUtf8(bytes)))
        bytes.prepend(kGb18030ByteOrderMark);
    return bytes;
}

QString DecodeFileText(const QByteArray &bytes)
{
    if (bytes.startsWith(kUtf8ByteOrderMark))
        return QString::fromUtf8(QByteArrayView(bytes).sliced(3));
    if (isMultiByteUtf8(bytes))
        return QString::fromUtf8(bytes);
    QStringDecoder decoder(kGb18030);
    QString text;
    if (mayEndInsideSequence(bytes)) {
        // The decoder keeps an unfinished sequence at the end for input that never comes; a line end
        // after it makes it show as replacement characters instead of vanishing.
        text = decoder.decode(bytes + '\n');
        if (text.endsWith(u'\n'))
            text.chop(1);
    } else {
        text = decoder.decode(bytes);
    }
    // GB18030 has a byte-order mark of its own (84 31 95 33).
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

bool ReadFileBytes(const QString &path, QByteArray *bytes, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = withReason(QStringLiteral("文件无法打开"), file.errorString());
        return false;
    }
    QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = withReason(QStringLiteral("文件无法读取"), file.errorString());
        return false;
    }
    if (bytes)
        *bytes = std::move(content);
    return true;
}

bool WriteFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = withReason(QStringLiteral("文件无法创建"), file.errorString());
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        if (error)
            *error = withReason(QStringLiteral("文件无法写入"), file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = withReason(QStringLiteral("文件无法保存"), file.errorString());
        return false;
    }
    return true;
}
