// The production link over a real pseudo-terminal: the test holds the instrument's end of the line.
#include "serial/QSerialLink.h"
#include "support/Recorder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr char kCableName[] = "usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0";

// The instrument's end: the master side of a pseudo-terminal, its slave linked into a device folder
// under the cable's name, so that COM1 of the folder opens it.
class InstrumentEnd {
public:
    InstrumentEnd()
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
            return;
        const QByteArray slave = ::ptsname(m_master);
        m_keeper = ::open(slave.constData(), O_RDWR | O_NOCTTY);
        termios tio{};
        ::tcgetattr(m_keeper, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(m_keeper, TCSANOW, &tio);
        m_ok = QFile::link(QString::fromLocal8Bit(slave), m_dir.filePath(QString::fromLatin1(kCableName)));
    }
    ~InstrumentEnd() { hangUp(); }
    bool ok() const { return m_ok; }
    QString deviceDir() const { return m_dir.path(); }
    int keeper() const { return m_keeper; }
    int master() const { return m_master; }

    void send(const QByteArray &bytes)
    {
        ASSERT_EQ(::write(m_master, bytes.constData(), static_cast<size_t>(bytes.size())), bytes.size());
    }
    // Whatever the program wrote within timeoutMs, stopping early once `count` bytes came.
    QByteArray receive(int count, int timeoutMs = 2000)
    {
        QByteArray got;
        QElapsedTimer timer;
        timer.start();
        while (got.size() < count && timer.elapsed() < timeoutMs) {
            pollfd pfd{m_master, POLLIN, 0};
            if (::poll(&pfd, 1, 10) > 0 && (pfd.revents & POLLIN)) {
                char buffer[4096];
                const ssize_t n = ::read(m_master, buffer, sizeof buffer);
                if (n > 0)
                    got.append(buffer, static_cast<qsizetype>(n));
            }
        }
        return got;
    }
    // The other end goes away, as when the instrument's cable is pulled.
    void hangUp()
    {
        if (m_master >= 0)
            ::close(m_master);
        if (m_keeper >= 0)
            ::close(m_keeper);
        m_keeper = m_master = -1;
    }

private:
    QTemporaryDir m_dir;
    int m_master = -1;
    int m_keeper = -1;
    bool m_ok = false;
};

// Runs the event loop until done() holds, waking at least every few milliseconds to look.
bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QTimer tick;
    tick.start(2);
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

// Lets the event loop run for a while, as the program does between the instrument's bytes.
void settle(int ms)
{
    QTest::qWait(ms);
}

class SerialLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(end.ok());
        link.setReceiveHandler([this] { chunks.append(link.readAll()); });
        ASSERT_TRUE(link.open());
    }

    InstrumentEnd end;
    QSerialLink link{end.deviceDir()};
    QList<QByteArray> chunks;
};

} // namespace

TEST_F(SerialLinkTest, BytesTrickledOneAtATimeRaiseOneEventWithAllOfThem)
{
    link.setReceiveThreshold(5);
    const QByteArray frame = fromHex("AA 90 31 32 B0");
    for (int k = 0; k < frame.size(); ++k) {
        end.send(frame.mid(k, 1));
        settle(30);
        if (k < frame.size() - 1) {
            EXPECT_TRUE(chunks.isEmpty()) << "event raised after " << k + 1 << " bytes";
        }
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return !chunks.isEmpty(); }, 2000));
    settle(50);
    ASSERT_EQ(chunks.size(), 1);
    EXPECT_EQ(hex(chunks[0]), "AA 90 31 32 B0");
}

TEST_F(SerialLinkTest, ReadReturnsEveryWaitingByteUnchanged)
{
    QByteArray all;
    for (int value = 0; value < 256; ++value)
        all.append(static_cast<char>(value));
    link.setReceiveThreshold(256);
    end.send(all);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !chunks.isEmpty(); }, 2000));
    EXPECT_EQ(chunks.value(0), all);

    // And the other way round: CR, LF, NUL, XON/XOFF and 0xFF leave as they are.
    ASSERT_TRUE(link.write(all));
    EXPECT_EQ(end.receive(256), all);
}

TEST_F(SerialLinkTest, ThresholdZeroRaisesNoEventButCountsTheBytes)
{
    link.setReceiveThreshold(0);
    end.send(fromHex("02 4A 0D"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return link.waitingCount() == 3; }, 2000));
    settle(50);
    EXPECT_TRUE(chunks.isEmpty());
    EXPECT_EQ(hex(link.readAll()), "02 4A 0D");
    EXPECT_EQ(link.waitingCount(), 0);
}

TEST_F(SerialLinkTest, ThresholdSetWhileBytesWaitRaisesTheEventAtOnce)
{
    link.setReceiveThreshold(0);
    end.send(fromHex("AA 82"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return link.waitingCount() == 2; }, 2000));
    link.setReceiveThreshold(2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !chunks.isEmpty(); }, 2000));
    EXPECT_EQ(hex(chunks[0]), "AA 82");
}

TEST_F(SerialLinkTest, ClearInputDiscardsWaitingBytes)
{
    link.setReceiveThreshold(0);
    end.send(fromHex("01 02 03 04"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return link.waitingCount() == 4; }, 2000));
    link.clearInput();
    EXPECT_EQ(link.waitingCount(), 0);
    link.setReceiveThreshold(2);
    settle(50);
    EXPECT_TRUE(chunks.isEmpty());
    end.send(fromHex("AA 81"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !chunks.isEmpty(); }, 2000));
    EXPECT_EQ(hex(chunks[0]), "AA 81");
}

TEST_F(SerialLinkTest, HandlerShowingAModalBoxIsNotReenteredAndTheHeldEventFollows)
{
    int depth = 0;
    int deepest = 0;
    int calls = 0;
    link.setReceiveHandler([&] {
        ++depth;
        ++calls;
        deepest = std::max(deepest, depth);
        chunks.append(link.readAll());
        if (calls == 1) {
            // A message box: its own event loop runs while the instrument sends the next frame.
            QEventLoop box;
            end.send(fromHex("AA 81"));
            QTimer::singleShot(300, &box, &QEventLoop::quit);
            box.exec();
            EXPECT_EQ(chunks.size(), 1) << "the held event came while the box was open";
        }
        --depth;
    });
    link.setReceiveThreshold(2);
    end.send(fromHex("AA 82"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return chunks.size() == 2; }, 3000));
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(hex(chunks[0]), "AA 82");
    EXPECT_EQ(hex(chunks[1]), "AA 81");
}

TEST_F(SerialLinkTest, HandlerThatWaitsInsideTheEventSeesBytesArriveAndItsAnswerLeaves)
{
    // A routine that answers and then waits for the next record inside the same event, as the
    // counted measurement receive does: the answer must leave at once and the count must grow.
    std::atomic<bool> answered{false};
    std::thread instrument([&] {
        const QByteArray ack = end.receive(2, 3000);
        answered = hex(ack) == "06 0D";
        end.send(fromHex("02 31 32 0D"));
    });
    QByteArray record;
    link.setReceiveHandler([&] {
        link.readAll();
        link.setReceiveThreshold(0);
        link.write(fromHex("06 0D"));
        QElapsedTimer timer;
        timer.start();
        while (link.waitingCount() < 4 && timer.elapsed() < 3000)
            QThread::msleep(1);
        record = link.readAll();
    });
    link.setReceiveThreshold(2);
    end.send(fromHex("4A 0D"));
    const bool done = QTest::qWaitFor([&] { return !record.isEmpty(); }, 4000);
    instrument.join();
    EXPECT_TRUE(done);
    EXPECT_TRUE(answered);
    EXPECT_EQ(hex(record), "02 31 32 0D");
}

TEST_F(SerialLinkTest, ManyQuickExchangesNeverLeaveThePortDeaf)
{
    // Each answer re-arms the threshold and the next frame follows at once, so the port's own read
    // notification and the link's re-check of the threshold often fall into the same turn of the
    // event loop; whichever reads first, the other finds nothing and the line must stay watched.
    constexpr int kExchanges = 300;
    std::atomic<int> acknowledged{0};
    std::thread instrument([&] {
        for (int k = 0; k < kExchanges; ++k) {
            end.send(fromHex("AA 90 31 32 B0"));
            if (hex(end.receive(2, 3000)) != "AA 81")
                return;
            ++acknowledged;
        }
    });
    link.setReceiveHandler([this] {
        chunks.append(link.readAll());
        link.setReceiveThreshold(5);
        link.write(fromHex("AA 81"));
        // The next frame is on the line before the handler returns.
        QThread::usleep(300);
    });
    link.setReceiveThreshold(5);
    const bool done = waitUntil([&] { return acknowledged == kExchanges; }, 15000);
    instrument.join();
    EXPECT_TRUE(done) << acknowledged << " exchanges";
    EXPECT_TRUE(link.isOpen());
    for (const QByteArray &chunk : chunks)
        EXPECT_EQ(hex(chunk), "AA 90 31 32 B0");
}

TEST_F(SerialLinkTest, CloseWaitsUntilWrittenBytesHaveLeft)
{
    // Far more than the line's buffers hold, so most of it is still inside the port when close() runs.
    QByteArray big(256 * 1024, '\0');
    for (int k = 0; k < big.size(); ++k)
        big[k] = static_cast<char>(k * 7);
    QByteArray got;
    std::thread instrument([&] { got = end.receive(static_cast<int>(big.size()), 10000); });
    ASSERT_TRUE(link.write(big));
    link.close();
    instrument.join();
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(got.size(), big.size());
    EXPECT_TRUE(got == big);
}

TEST_F(SerialLinkTest, ReopensAfterClose)
{
    link.close();
    ASSERT_TRUE(link.open());
    link.setReceiveThreshold(2);
    end.send(fromHex("AA BB"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !chunks.isEmpty(); }, 2000));
    EXPECT_EQ(hex(chunks[0]), "AA BB");
}

TEST_F(SerialLinkTest, LineSettingsTextIsAppliedToTheLine)
{
    termios tio{};
    ASSERT_EQ(::tcgetattr(end.keeper(), &tio), 0);
    EXPECT_EQ(::cfgetospeed(&tio), static_cast<speed_t>(B1200));
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB), 0u);

    // A pseudo-terminal always keeps 8 data bits without parity, so speed and stop bits show here.
    link.setSettings(QStringLiteral("9600,N,8,2"));
    EXPECT_EQ(link.settings(), "9600,N,8,2");
    ASSERT_EQ(::tcgetattr(end.keeper(), &tio), 0);
    EXPECT_EQ(::cfgetospeed(&tio), static_cast<speed_t>(B9600));
    EXPECT_EQ(tio.c_cflag & CSTOPB, static_cast<tcflag_t>(CSTOPB));

    // A closed port takes the settings with it when it opens.
    link.close();
    link.setSettings(QStringLiteral("57600,N,8,1"));
    ASSERT_TRUE(link.open());
    ASSERT_EQ(::tcgetattr(end.keeper(), &tio), 0);
    EXPECT_EQ(::cfgetospeed(&tio), static_cast<speed_t>(B57600));
    EXPECT_EQ(tio.c_cflag & CSTOPB, 0u);

    // Text that is no line setting leaves the settings as they were.
    link.setSettings(QStringLiteral("fast"));
    EXPECT_EQ(link.settings(), "57600,N,8,1");
}

TEST_F(SerialLinkTest, BytesHandedBackWaitForTheNextBytesAndAreReadFirst)
{
    // The handler takes nothing shorter than 4 bytes, as the dispatcher takes no frame that is not whole.
    int events = 0;
    link.setReceiveHandler([this, &events] {
        ++events;
        const QByteArray bytes = link.readAll();
        if (bytes.size() < 4)
            link.holdUnrouted(bytes);
        else
            chunks.append(bytes);
    });
    link.setReceiveThreshold(2);
    end.send("AB");
    ASSERT_TRUE(waitUntil([&] { return events == 1; }, 10000));
    settle(100);
    EXPECT_EQ(events, 1) << "held bytes alone raised an event";
    EXPECT_EQ(link.waitingCount(), 2);
    end.send("CD");
    ASSERT_TRUE(waitUntil([&] { return !chunks.isEmpty(); }, 10000));
    EXPECT_EQ(chunks, QList<QByteArray>{"ABCD"});

    // Discarding the input discards held bytes too.
    end.send("EF");
    ASSERT_TRUE(waitUntil([&] { return events == 3; }, 10000));
    EXPECT_EQ(link.waitingCount(), 2);
    link.clearInput();
    EXPECT_EQ(link.waitingCount(), 0);
}

TEST_F(SerialLinkTest, EventsWaitWhileHeldAndFollowOnRelease)
{
    // A message box opened by a command, outside any receive event, holds the events as one
    // opened inside the handler does.
    link.setReceiveThreshold(2);
    link.holdReceiveEvents(true);
    link.holdReceiveEvents(true);
    end.send("AB");
    settle(200);
    link.holdReceiveEvents(false);
    settle(100);
    EXPECT_TRUE(chunks.isEmpty());
    link.holdReceiveEvents(false);
    ASSERT_TRUE(waitUntil([&] { return !chunks.isEmpty(); }, 10000));
    EXPECT_EQ(chunks, QList<QByteArray>{"AB"});
}

TEST_F(SerialLinkTest, OtherEndHangingUpClosesThePortQuietly)
{
    int lost = 0;
    link.setLostHandler([&] { ++lost; });
    link.setReceiveThreshold(2);
    end.hangUp();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !link.isOpen(); }, 10000));
    settle(100);
    EXPECT_EQ(lost, 1);
    EXPECT_TRUE(chunks.isEmpty());
    EXPECT_FALSE(link.write(fromHex("AA BB")));
    EXPECT_EQ(link.waitingCount(), 0);
    EXPECT_TRUE(link.readAll().isEmpty());
}

TEST(SerialLinkOpen, PortWithoutDeviceFailsCleanly)
{
    QTemporaryDir empty;
    QSerialLink link(empty.path());
    EXPECT_FALSE(link.open());
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(link.write(fromHex("AA BB")));
    EXPECT_EQ(link.waitingCount(), 0);
    link.clearInput();
    link.clearOutput();
    link.close();

    QSerialLink missingFolder(empty.path() + QStringLiteral("/none"));
    EXPECT_FALSE(missingFolder.open());

    // COM2 where the folder holds one device; and a device entry whose tty has gone.
    InstrumentEnd end;
    QSerialLink second(end.deviceDir());
    second.setCommPort(2);
    EXPECT_FALSE(second.open());
    ASSERT_TRUE(
        QFile::link(QStringLiteral("/dev/pts/does-not-exist"), QDir(empty.path()).filePath(kCableName)));
    EXPECT_FALSE(link.open());
}

TEST(SerialLinkOpen, CommPortPicksTheNthDeviceOfTheFolder)
{
    InstrumentEnd first;
    InstrumentEnd second;
    QTemporaryDir dir;
    // Entries in name order: "a-..." is COM1, "b-..." is COM2.
    ASSERT_TRUE(QFile::link(QFile::symLinkTarget(QDir(first.deviceDir()).filePath(kCableName)),
                            QDir(dir.path()).filePath(QStringLiteral("a-first"))));
    ASSERT_TRUE(QFile::link(QFile::symLinkTarget(QDir(second.deviceDir()).filePath(kCableName)),
                            QDir(dir.path()).filePath(QStringLiteral("b-second"))));
    QSerialLink link(dir.path());
    link.setCommPort(2);
    ASSERT_TRUE(link.open());
    ASSERT_TRUE(link.write(fromHex("AA 81")));
    EXPECT_EQ(hex(second.receive(2)), "AA 81");
    EXPECT_TRUE(first.receive(1, 100).isEmpty());
}
