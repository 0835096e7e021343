#include "SessionLog.h"

#include "core/InstrumentCode.h"
#include "serial/DeviceList.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThreadPool>
#include <array>
#include <cstring>

namespace {

// Gathered pieces are handed to the writer once there are this many bytes (or when asked to).
constexpr qsizetype kWriteThreshold = 16 * 1024;
const QString kFolderUnderState = QStringLiteral("rqxcomm/sessions");
// The names this program gives its logs: only these are ever removed from the folder.
const QRegularExpression kLogName(QStringLiteral("^\\d{8}-\\d{6}-[a-z0-9-]+\\.log$"));

// Each byte's hex and its reader's text, made once: a line is built by appending both.
struct ByteTexts {
    std::array<std::array<char, 3>, 256> hex;
    std::array<QByteArray, 256> text;
    ByteTexts()
    {
        static const char digits[] = "0123456789ABCDEF";
        for (int code = 0; code < 256; ++code) {
            hex[code] = {' ', digits[code >> 4], digits[code & 15]};
            const QString character = CodeToCharacter(code);
            // A code without a character of its own comes back as its number (2 as "2", not the digit).
            const bool number = character == QString::number(code);
            text[code] = number ? ('<' + character.toLatin1() + '>') : character.toUtf8();
        }
    }
};

const ByteTexts &byteTexts()
{
    static const ByteTexts texts;
    return texts;
}

// One thread writes every log, in the order the work was handed to it.
QThreadPool &writer()
{
    static QThreadPool *pool = [] {
        auto *p = new QThreadPool;
        p->setMaxThreadCount(1);
        return p;
    }();
    return *pool;
}

// The lines of the gathered pieces.
QByteArray linesOf(const QByteArray &gathered)
{
    const ByteTexts &texts = byteTexts();
    QByteArray lines;
    lines.reserve(gathered.size() * 5);
    qsizetype at = 0;
    constexpr qsizetype kHead = 1 + sizeof(qint64) + sizeof(qint32);
    while (at + kHead <= gathered.size()) {
        const char direction = gathered[at];
        qint64 ms = 0;
        qint32 length = 0;
        std::memcpy(&ms, gathered.constData() + at + 1, sizeof ms);
        std::memcpy(&length, gathered.constData() + at + 1 + sizeof ms, sizeof length);
        at += kHead;
        const QByteArrayView bytes(gathered.constData() + at, length);
        at += length;
        lines += QByteArray::number(ms / 1000) + '.' + QByteArray::number(ms % 1000).rightJustified(3, '0');
        lines += direction == 't' ? " tx" : " rx";
        for (char byte : bytes)
            lines.append(texts.hex[static_cast<unsigned char>(byte)].data(), 3);
        lines += " | ";
        for (char byte : bytes)
            lines += texts.text[static_cast<unsigned char>(byte)];
        lines += '\n';
    }
    return lines;
}

} // namespace

// The file, touched by the writer thread only.
struct SessionLog::Sink {
    QFile file;

    void write(const QByteArray &text)
    {
        // A log the disk no longer takes is given up; the transfer goes on.
        if (file.isOpen() && (file.write(text) != text.size() || !file.flush()))
            file.close();
    }
};

QString SessionLog::defaultFolder()
{
#ifdef _WIN32
    // Windows keeps a program's own data of this computer under the user's local application data.
    QString local = QDir::fromNativeSeparators(qEnvironmentVariable("LOCALAPPDATA"));
    if (local.isEmpty() || QDir::isRelativePath(local))
        local = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(local).filePath(kFolderUnderState);
#else
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return QDir(state).filePath(kFolderUnderState);
#endif
}

QString SessionLog::fileName(const QDateTime &began, const QString &kind)
{
    return began.toString(QStringLiteral("yyyyMMdd-HHmmss-")) + kind + QStringLiteral(".log");
}

void SessionLog::prune(const QString &folder, int keep)
{
    QDir dir(folder);
    QStringList logs = dir.entryList(QDir::Files, QDir::Name).filter(kLogName);
    // The names begin with the time, so name order is the order in which the logs were begun.
    for (qsizetype i = 0; i + keep < logs.size(); ++i)
        dir.remove(logs[i]);
}

QString SessionLog::portText(int commPort, const QString &deviceDir)
{
    const QString device = DevicePathForPort(deviceDir, commPort);
    return QStringLiteral("COM%1").arg(commPort) + (device.isEmpty() ? QString() : u' ' + device);
}

void SessionLog::waitForWrites()
{
    writer().waitForDone();
}

SessionLog::SessionLog(const QString &folder, const QString &kind, const SessionHeader &header,
                       const QDateTime &began)
    : m_sink(std::make_shared<Sink>())
{
    m_clock.start();
    const QString comments = QStringLiteral("# rqxcomm session log\n"
                                            "# version %1\n"
                                            "# series %2\n"
                                            "# order %3\n"
                                            "# port %4\n"
                                            "# line %5\n"
                                            "# kind %6\n"
                                            "# began %7\n")
                                 .arg(QStringLiteral(RQXCOMM_VERSION), header.series, header.order,
                                      header.port, header.line, kind, began.toString(Qt::ISODate));
    writer().start([sink = m_sink, folder, kind, began, comments] {
        if (!QDir().mkpath(folder))
            return;
        const QDir dir(folder);
        // Two transfers begun in the same second keep a log each.
        QString name = fileName(began, kind);
        for (int n = 2; dir.exists(name); ++n)
            name = fileName(began, kind + QStringLiteral("-%1").arg(n));
        sink->file.setFileName(dir.filePath(name));
        if (!sink->file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return;
        sink->write(comments.toUtf8());
        prune(folder);
    });
}

SessionLog::~SessionLog()
{
    flush();
    writer().start([sink = m_sink] { sink->file.close(); });
}

void SessionLog::record(char direction, QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return;
    const qint64 ms = m_clock.elapsed();
    const auto length = static_cast<qint32>(bytes.size());
    char head[1 + sizeof ms + sizeof length];
    head[0] = direction;
    std::memcpy(head + 1, &ms, sizeof ms);
    std::memcpy(head + 1 + sizeof ms, &length, sizeof length);
    if (m_gathered.capacity() == 0)
        m_gathered.reserve(kWriteThreshold + 1024);
    m_gathered.append(head, sizeof head);
    m_gathered.append(bytes.data(), bytes.size());
    if (m_gathered.size() >= kWriteThreshold)
        flush();
}

void SessionLog::flush()
{
    if (m_gathered.isEmpty())
        return;
    writer().start(
        [sink = m_sink, gathered = std::exchange(m_gathered, {})] { sink->write(linesOf(gathered)); });
}
