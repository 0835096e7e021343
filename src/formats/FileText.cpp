#include "FileText.h"

#include "FileTextDecoder.h"
#include "Gb18030Codec.h"
#include "Gb18030Tables.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#endif

#include <algorithm>
#include <cstring>
#include <utility>

namespace {
constexpr char16_t kByteOrderMark = 0xFEFF;

QString withReason(const QString &what, const QString &systemReason)
{
    return systemReason.isEmpty() ? what : what + QStringLiteral("：") + systemReason;
}
} // namespace

QByteArray EncodeFileText(QStringView text)
{
    // Plain ASCII (coordinates, commas, line ends) is copied byte for byte and two-byte characters
    // come from the table; any other run of characters goes to the codec, which takes a surrogate
    // pair as one character and a lone surrogate as the substitute byte.
    const Gb18030Tables &tables = Gb18030Tables::instance();
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
        // Room for the run and for the ASCII still to come, which is at most a byte a unit.
        const qsizetype needed = written + Gb18030Codec::kMaxBytesPerUnit * (p - run) + (end - p);
        if (needed > bytes.size())
            bytes.resize(std::max(needed, bytes.size() + bytes.size() / 2));
        written = Gb18030Codec::encode(run, p, bytes.data() + written) - bytes.constData();
    }
    bytes.resize(written);
    return bytes;
}

const QByteArray Gb18030ByteOrderMark::kBytes = QByteArrayLiteral("\x84\x31\x95\x33");

bool Gb18030ByteOrderMark::add(QStringView text)
{
    if (!m_open || text.isEmpty())
        return m_open;
    const bool atStart = std::exchange(m_atStart, false);
    if (atStart && text.front() == QChar(kByteOrderMark)) {
        m_needed = true;
        m_open = false;
        return false;
    }
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; }))
        return true;
    const QByteArray bytes = EncodeFileText(text);
    static const QByteArray utf8Mark = QByteArrayLiteral("\xEF\xBB\xBF");
    if (atStart && bytes.startsWith(utf8Mark)) {
        m_needed = true;
        m_open = false;
        return false;
    }
    // After an ASCII character only well-formed UTF-8 counts, not a UTF-8 byte-order mark.
    qsizetype textStart = 0;
    if (!FileTextDecoder::isUtf8('A' + bytes, &textStart)) {
        m_open = false;
        return false;
    }
    m_multiByte = true;
    return true;
}

QByteArray EncodeFile(QStringView text)
{
    Gb18030ByteOrderMark mark;
    mark.add(text);
    return mark.needed() ? Gb18030ByteOrderMark::kBytes + EncodeFileText(text) : EncodeFileText(text);
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

bool ReadFileBytes(const QString &path, QByteArray *bytes, QString *error)
{
    // Only a regular file is opened: opening a pipe waits for a writer, and a device such as
    // /dev/zero never ends, either of which would hang the window.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        if (error)
            *error = QStringLiteral("文件无法打开：不是普通文件（是文件夹、设备或管道）");
        return false;
    }
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
