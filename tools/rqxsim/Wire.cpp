#include "Wire.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {
// Start bit, 8 data bits, stop bit.
constexpr qint64 kBitsPerByte = 10;
constexpr qint64 kNsPerSecond = 1000000000;
// Pieces are 1 to this many bytes long; about one in three is a single byte, so a frame's last byte
// often comes alone, a moment after the rest.
constexpr unsigned kLongestPiece = 16;
constexpr unsigned kSingleByteOdds = 3;
} // namespace

Wire::~Wire()
{
    if (!m_linkPath.isEmpty())
        QFile::remove(m_linkPath);
    if (m_record)
        std::fclose(m_record);
    if (m_slaveKeeper >= 0)
        ::close(m_slaveKeeper);
    if (m_master >= 0)
        ::close(m_master);
}

bool Wire::open(const QString &deviceDir, QString *error)
{
    m_clock.start();
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        *error = QStringLiteral("cannot open a pseudo-terminal: %1").arg(strerror(errno));
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(::ptsname(m_master));

    // Raw mode on the slave, so every byte passes unchanged; keeping a descriptor of our own on it
    // stops the master from seeing a hang-up while the program has the port closed.
    m_slaveKeeper = ::open(m_slavePath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    if (m_slaveKeeper < 0) {
        *error = QStringLiteral("cannot open %1: %2").arg(m_slavePath, strerror(errno));
        return false;
    }
    termios tio{};
    ::tcgetattr(m_slaveKeeper, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(m_slaveKeeper, TCSANOW, &tio);
    ::tcgetattr(m_master, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(m_master, TCSANOW, &tio);

    QDir().mkpath(deviceDir);
    m_linkPath = QDir(deviceDir).filePath(QString::fromLatin1(kCableDeviceName));
    QFile::remove(m_linkPath);
    if (!QFile::link(m_slavePath, m_linkPath)) {
        *error = QStringLiteral("cannot create %1").arg(m_linkPath);
        m_linkPath.clear();
        return false;
    }
    return true;
}

bool Wire::recordTo(const QString &path)
{
    m_record = std::fopen(path.toLocal8Bit().constData(), "w");
    if (m_record)
        std::setvbuf(m_record, nullptr, _IOLBF, 0);
    return m_record != nullptr;
}

void Wire::record(const char *direction, const QByteArray &bytes)
{
    if (!m_record || bytes.isEmpty())
        return;
    const qint64 us = m_clock.nsecsElapsed() / 1000;
    std::fprintf(m_record, "%lld.%03lld %s %s\n", static_cast<long long>(us / 1000),
                 static_cast<long long>(us % 1000), direction, bytes.toHex(' ').toUpper().constData());
}

void Wire::setLineSpeed(int baud, quint32 seed)
{
    m_baud = baud;
    m_pieces.seed(seed);
    m_lineFreeAtNs = m_clock.nsecsElapsed();
}

qsizetype Wire::nextPieceLength()
{
    if (m_pieces() % kSingleByteOdds == 0)
        return 1;
    return 1 + static_cast<qsizetype>(m_pieces() % kLongestPiece);
}

bool Wire::send(const QByteArray &bytes)
{
    if (m_baud <= 0) {
        if (!writeAll(bytes))
            return false;
        record("out", bytes);
        return true;
    }
    // A piece reaches the program when its last byte has come down the line.
    qint64 dueNs = std::max(m_clock.nsecsElapsed(), m_lineFreeAtNs);
    for (qsizetype done = 0; done < bytes.size();) {
        const qsizetype piece = std::min(nextPieceLength(), bytes.size() - done);
        dueNs += piece * kBitsPerByte * kNsPerSecond / m_baud;
        const qint64 waitNs = dueNs - m_clock.nsecsElapsed();
        if (waitNs > 0)
            std::this_thread::sleep_for(std::chrono::nanoseconds(waitNs));
        const QByteArray part = bytes.mid(done, piece);
        if (!writeAll(part))
            return false;
        record("out", part);
        done += piece;
    }
    m_lineFreeAtNs = dueNs;
    return true;
}

bool Wire::writeAll(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::write(m_master, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            report(QStringLiteral("write failed: %1").arg(strerror(errno)));
            return false;
        }
        done += n;
    }
    return true;
}

int Wire::readSome(QByteArray *into, int maxBytes, int timeoutMs)
{
    pollfd pfd{m_master, POLLIN, 0};
    const int ready = ::poll(&pfd, 1, timeoutMs);
    if (ready <= 0 || !(pfd.revents & POLLIN))
        return 0;
    char buffer[4096];
    const ssize_t n = ::read(m_master, buffer, static_cast<size_t>(std::min<int>(maxBytes, sizeof buffer)));
    if (n <= 0)
        return 0;
    const QByteArray got(buffer, static_cast<qsizetype>(n));
    record("in", got);
    into->append(got);
    return static_cast<int>(n);
}

bool Wire::receive(int count, QByteArray *got, int timeoutMs)
{
    got->clear();
    const qint64 deadline = QDateTime::currentMSecsSinceEpoch() + timeoutMs;
    while (got->size() < count) {
        const qint64 left = deadline - QDateTime::currentMSecsSinceEpoch();
        if (left <= 0)
            return false;
        readSome(got, count - static_cast<int>(got->size()), static_cast<int>(left));
    }
    return true;
}

bool Wire::receiveUntil(const QByteArray &terminator, QByteArray *got, int timeoutMs, int maxBytes)
{
    got->clear();
    const qint64 deadline = QDateTime::currentMSecsSinceEpoch() + timeoutMs;
    while (!got->endsWith(terminator)) {
        const qint64 left = deadline - QDateTime::currentMSecsSinceEpoch();
        if (left <= 0 || got->size() >= maxBytes)
            return false;
        readSome(got, 1, static_cast<int>(left));
    }
    return true;
}

QByteArray Wire::drain(int timeoutMs)
{
    QByteArray got;
    const qint64 deadline = QDateTime::currentMSecsSinceEpoch() + timeoutMs;
    for (;;) {
        const qint64 left = deadline - QDateTime::currentMSecsSinceEpoch();
        if (left <= 0)
            return got;
        readSome(&got, 4096, static_cast<int>(left));
    }
}

QByteArray Wire::readAvailable(int timeoutMs)
{
    QByteArray got;
    readSome(&got, 4096, timeoutMs);
    return got;
}

void Wire::waitUntilTaken(int timeoutMs)
{
    // The slave descriptor kept here sees the same input queue the program reads from. A byte just
    // written may not be counted yet for a moment, so the queue must be seen empty twice.
    constexpr int kStepMs = 2;
    const qint64 deadline = QDateTime::currentMSecsSinceEpoch() + timeoutMs;
    int emptyTimes = 0;
    while (emptyTimes < 2 && QDateTime::currentMSecsSinceEpoch() < deadline) {
        int queued = 0;
        if (::ioctl(m_slaveKeeper, FIONREAD, &queued) != 0)
            return;
        emptyTimes = queued == 0 ? emptyTimes + 1 : 0;
        ::usleep(kStepMs * 1000);
    }
}

void report(const QString &text)
{
    std::fprintf(stderr, "rqxsim: %s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
}

QString hexOrNothing(const QByteArray &bytes)
{
    return bytes.isEmpty() ? QStringLiteral("nothing") : QString::fromLatin1(bytes.toHex(' ').toUpper());
}
