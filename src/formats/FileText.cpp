#include "FileText.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#endif

#include <algorithm>
#include <cstring>
#include <optional>

namespace {
constexpr char kGb18030[] = "GB18030";
constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";
constexpr char16_t kByteOrderMark = 0xFEFF;

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

// A GB18030 character of two bytes: a lead 81..FE and a trail 40..7E or 80..FE.
bool isTwoByteCharacter(const unsigned char *p)
{
    return p[0] >= 0x81 && p[0] <= 0xFE && ((p[1] >= 0x40 && p[1] <= 0x7E) || (p[1] >= 0x80 && p[1] <= 0xFE));
}

// GB18030's two-byte characters, most of any Chinese text, decoded and encoded by table. The tables
// are made once from the code page's own codec, so they hold exactly what it makes of each character
// on its own, and two-byte characters are the same on their own as among others.
class TwoByteTables {
public:
    static const TwoByteTables &instance()
    {
        static const TwoByteTables tables;
        return tables;
    }
    // The character of a two-byte sequence, or 0 when the codec makes anything else of it.
    char16_t decode(const unsigned char *p) const
    {
        return m_characters[static_cast<size_t>((p[0] - kFirstLead) * kTrails + (p[1] - kFirstTrail))];
    }
    // The two bytes of a character as lead * 256 + trail, or 0 when it is not one two-byte character.
    quint16 encode(char16_t c) const { return m_codes[c]; }

private:
    static constexpr int kFirstLead = 0x81;
    static constexpr int kLastLead = 0xFE;
    static constexpr int kFirstTrail = 0x40;
    static constexpr int kTrails = 0xFE - kFirstTrail + 1;

    // Every sequence and every character goes to the codec at once, each followed by a line end,
    // which no sequence takes in.
    TwoByteTables()
        : m_characters(static_cast<size_t>((kLastLead - kFirstLead + 1) * kTrails)), m_codes(0x10000)
    {
        QByteArray sequences;
        for (int lead = kFirstLead; lead <= kLastLead; ++lead) {
            for (int trail = kFirstTrail; trail < kFirstTrail + kTrails; ++trail) {
                const char sequence[] = {char(lead), char(trail), '\n'};
                sequences.append(sequence, 3);
            }
        }
        const QString decoded = QStringDecoder(kGb18030).decode(sequences);
        size_t index = 0;
        for (qsizetype start = 0; start < decoded.size() && index < m_characters.size(); ++index) {
            const qsizetype end = decoded.indexOf(u'\n', start);
            if (end < 0)
                break;
            if (end - start == 1 && isTwoByteCharacter(reinterpret_cast<const unsigned char *>(
                                        sequences.constData() + 3 * index)))
                m_characters[index] = decoded[start].unicode();
            start = end + 1;
        }

        QString characters;
        for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
            if (!QChar::isSurrogate(c)) {
                characters.append(QChar(char16_t(c)));
                characters.append(QChar(u'\n'));
            }
        }
        const QByteArray encoded = QStringEncoder(kGb18030).encode(characters);
        qsizetype start = 0;
        for (qsizetype k = 0; k < characters.size() && start < encoded.size(); k += 2) {
            const qsizetype end = encoded.indexOf('\n', start);
            if (end < 0)
                break;
            const auto *bytes = reinterpret_cast<const unsigned char *>(encoded.constData() + start);
            if (end - start == 2 && isTwoByteCharacter(bytes))
                m_codes[characters[k].unicode()] = static_cast<quint16>(bytes[0] << 8 | bytes[1]);
            start = end + 1;
        }
    }

    std::vector<char16_t> m_characters;
    std::vector<quint16> m_codes;
};

QString withReason(const QString &what, const QString &systemReason)
{
    return systemReason.isEmpty() ? what : what + QStringLiteral("：") + systemReason;
}
} // namespace

QByteArray EncodeFileText(QStringView text)
{
    // Plain ASCII (coordinates, commas, line ends) is copied byte for byte and two-byte characters
    // come from the table; any other run of characters goes to the encoder together with the ASCII
    // character after it, so that the encoder sees every character in the same company as in the
    // whole text (a lone surrogate before a comma is a substitute byte, not a character held back for
    // more).
    const TwoByteTables &tables = TwoByteTables::instance();
    // Made only for a text that needs it: a drawing encodes each Chinese point-number label alone.
    std::optional<QStringEncoder> encoder;
    QByteArray bytes;
    bytes.resize(text.size());
    qsizetype written = 0;
    const char16_t *p = text.utf16();
    const char16_t *const end = p + text.size();
    while (p < end) {
        char *out = bytes.data() + written;
        while (p < end && *p < 0x80)
            *out++ = static_cast<char>(*p++);
        written = out - bytes.constData();
        if (p == end)
            break;
        // Room for a run of two-byte characters, and for the ASCII still to come.
        if (written + 2 * (end - p) > bytes.size())
            bytes.resize(std::max(written + 2 * (end - p), bytes.size() + bytes.size() / 2));
        out = bytes.data() + written;
        for (quint16 code; p < end && *p >= 0x80 && (code = tables.encode(*p)) != 0; ++p) {
            *out++ = static_cast<char>(code >> 8);
            *out++ = static_cast<char>(code & 0xFF);
        }
        written = out - bytes.constData();
        if (p == end || *p < 0x80)
            continue;
        const char16_t *run = p;
        while (p < end && *p >= 0x80)
            ++p;
        if (p < end)
            ++p;
        const QStringView piece(run, p);
        // Room for the run and for the ASCII still to come, which is at most a byte a unit.
        if (!encoder)
            encoder.emplace(kGb18030);
        const qsizetype needed = written + encoder->requiredSpace(piece.size()) + (end - p);
        if (needed > bytes.size())
            bytes.resize(std::max(needed, bytes.size() + bytes.size() / 2));
        written = encoder->appendToBuffer(bytes.data() + written, piece) - bytes.constData();
    }
    bytes.resize(written);
    return bytes;
}

QString DecodeFileText(const QByteArray &bytes)
{
    qsizetype start = 0;
    const bool utf8 = FileTextDecoder::isUtf8(bytes, &start);
    FileTextDecoder decoder(utf8);
    QString text(bytes.size() - start, Qt::Uninitialized);
    auto *out = reinterpret_cast<char16_t *>(text.data());
    const char16_t *end = decoder.decode(bytes.constData() + start, bytes.constData() + bytes.size(), out);
    text.truncate(end - out);
    if (!utf8 && text.startsWith(QChar(kByteOrderMark)))
        text.remove(0, 1);
    return text;
}

FileTextDecoder::FileTextDecoder(bool utf8)
    : m_utf8(utf8), m_decoder(utf8 ? QStringDecoder(QStringConverter::Utf8) : QStringDecoder(kGb18030))
{
}

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
        if (uEnd - u < 2 || !isTwoByteCharacter(u)) {
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
            const TwoByteTables &tables = TwoByteTables::instance();
            const auto *u = reinterpret_cast<const unsigned char *>(p);
            const auto *uEnd = reinterpret_cast<const unsigned char *>(end);
            for (char16_t c; uEnd - u >= 2 && isTwoByteCharacter(u) && (c = tables.decode(u)) != 0; u += 2)
                *out++ = c;
            p = reinterpret_cast<const char *>(u);
            if (p == end || static_cast<unsigned char>(*p) < 0x80)
                continue;
        }
        const char *run = p;
        p = runEnd(p, end);
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

namespace {
// A save file that has the system write what it holds to the disk while more is still being made: a
// large file is then on the disk by the time the commit waits for it, instead of all of it
// starting only then.
class SaveFile : public QSaveFile {
public:
    using QSaveFile::QSaveFile;

protected:
    qint64 writeData(const char *data, qint64 length) override
    {
        const qint64 written = QSaveFile::writeData(data, length);
#ifdef Q_OS_LINUX
        if (written > 0) {
            m_written += written;
            if (m_written - m_started >= kWriteBackStep) {
                ::sync_file_range(handle(), m_started, m_written - m_started, SYNC_FILE_RANGE_WRITE);
                m_started = m_written;
            }
        }
#endif
        return written;
    }

private:
    static constexpr qint64 kWriteBackStep = 8 << 20;
    qint64 m_written = 0;
    qint64 m_started = 0;
};
} // namespace

bool WriteFileAtomically(const QString &path, const std::function<bool(QIODevice &)> &write, QString *error)
{
    SaveFile file(path);
    // The writers hand over large pieces; a buffer would only copy them once more.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (error)
            *error = withReason(QStringLiteral("文件无法创建"), file.errorString());
        return false;
    }
    if (!write(file)) {
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

bool WriteFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    return WriteFileAtomically(
        path, [&](QIODevice &file) { return file.write(bytes) == bytes.size(); }, error);
}
