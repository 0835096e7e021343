#include "FileTextDecoder.h"

#include "Gb18030Codec.h"
#include "Gb18030Tables.h"

#include <QByteArray>
#include <cstring>

namespace {
constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The first byte from p on that is not plain ASCII, or end; eight bytes at a time.
const char *skipAscii(const char *p, const char *end)
{
    constexpr quint64 kHighBits = 0x8080808080808080ULL;
    while (end - p >= 8) {
        quint64 word;
        std::memcpy(&word, p, sizeof word);
        if (word & kHighBits)
            break;
        p += 8;
    }
    while (p < end && static_cast<unsigned char>(*p) < 0x80)
        ++p;
    return p;
}

// Whether the bytes are well-formed UTF-8 holding at least one multi-byte sequence: no overlong
// forms, no surrogates, nothing above U+10FFFF. Text in GB18030 almost never is.
bool isMultiByteUtf8(const QByteArray &bytes)
{
    const char *text = bytes.constData();
    const char *const textEnd = text + bytes.size();
    bool multiByte = false;
    for (text = skipAscii(text, textEnd); text < textEnd; text = skipAscii(text, textEnd)) {
        const auto *p = reinterpret_cast<const unsigned char *>(text);
        const auto *end = reinterpret_cast<const unsigned char *>(textEnd);
        const unsigned char lead = *p;
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
        text += length;
        multiByte = true;
    }
    return multiByte;
}
} // namespace

FileTextDecoder::FileTextDecoder(bool utf8) : m_utf8(utf8), m_decoder(QStringConverter::Utf8) {}

bool FileTextDecoder::isUtf8(const QByteArray &bytes, qsizetype *textStart)
{
    const bool byteOrderMark = bytes.startsWith(kUtf8ByteOrderMark);
    *textStart = byteOrderMark ? 3 : 0;
    return byteOrderMark || isMultiByteUtf8(bytes);
}

const char *FileTextDecoder::runEnd(const char *p, const char *end) const
{
    if (m_utf8) {
        // A UTF-8 sequence is made of bytes 80 and above only.
        while (p < end && static_cast<unsigned char>(*p) >= 0x80)
            ++p;
        return p;
    }
    // Two-byte characters may have an ASCII trail byte. Anything else (a four-byte character, a stray
    // byte) is left to the decoder up to the line end, which no GB18030 sequence spans.
    const auto *u = reinterpret_cast<const unsigned char *>(p);
    const auto *uEnd = reinterpret_cast<const unsigned char *>(end);
    while (u < uEnd && *u >= 0x80) {
        if (uEnd - u < 2 || !Gb18030Tables::isTwoByteCharacter(u)) {
            while (u < uEnd && *u != '\r' && *u != '\n')
                ++u;
            break;
        }
        u += 2;
    }
    return reinterpret_cast<const char *>(u);
}

char16_t *FileTextDecoder::decode(const char *begin, const char *end, char16_t *out)
{
    const char *p = begin;
    while (p < end) {
        const char *ascii = skipAscii(p, end);
        for (; p < ascii; ++p)
            *out++ = static_cast<unsigned char>(*p);
        if (p == end)
            break;
        if (!m_utf8) {
            const Gb18030Tables &tables = Gb18030Tables::instance();
            const auto *u = reinterpret_cast<const unsigned char *>(p);
            const auto *uEnd = reinterpret_cast<const unsigned char *>(end);
            for (char16_t c;
                 uEnd - u >= 2 && Gb18030Tables::isTwoByteCharacter(u) && (c = tables.decode(u)) != 0; u += 2)
                *out++ = c;
            p = reinterpret_cast<const char *>(u);
            if (p == end || static_cast<unsigned char>(*p) < 0x80)
                continue;
        }
        const char *run = p;
        p = runEnd(p, end);
        if (!m_utf8) {
            // The codec reads a character cut short at the end of the run as the line end after it does.
            out = Gb18030Codec::decode(run, p, out);
            continue;
        }
        // The run is decoded with the byte after it, an ASCII character or a line end, which is
        // dropped again: a sequence cut short before it then shows as a replacement character and
        // no sequence is held back for the next run. At the end of the file a line end stands in.
        QByteArrayView piece(run, p < end ? p + 1 : p);
        QByteArray last;
        if (p == end) {
            last = QByteArray(run, p - run) + '\n';
            piece = last;
        }
        const qsizetype room = m_decoder.requiredSpace(piece.size());
        if (static_cast<qsizetype>(m_run.size()) < room)
            m_run.resize(static_cast<size_t>(room));
        const auto *decoded = reinterpret_cast<const char16_t *>(m_run.data());
        const qsizetype length = reinterpret_cast<char16_t *>(m_decoder.appendToBuffer(
                                     reinterpret_cast<QChar *>(m_run.data()), piece)) -
                                 decoded - 1;
        std::memcpy(out, decoded, static_cast<size_t>(length) * sizeof(char16_t));
        out += length;
    }
    return out;
}
