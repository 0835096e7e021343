// The production link over a real pseudo-terminal: the test holds the instrument's end of the line.
#include "serial/QSerialLink.h"
#include "support/Recorder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <future>
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
    QByteArray receive(int count, int timeoutMs = 20000)
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

// How long any wait on a condition may take on a loaded machine; a wait ends as soon as its
// condition holds.
constexpr int kPatienceMs = 20000;

class SerialLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(end.ok());
        link.setReceiveHandler([this] {
            ++notifications;
            received += link.readAll();
        });
        ASSERT_TRUE(link.open());
    }

    InstrumentEnd end;
    QSerialLink link{end.deviceDir()};
    QByteArray received;
    int notifications = 0;
};

} // namespace

TEST_F(SerialLinkTest, EveryByteArrivesUnchangedAndInOrder)
{
    // Trickled one at a time, and all 256 values at once: CR, LF, NUL, XON/XOFF and 0xFF included.
    const QByteArray frame = fromHex("AA 90 31 32 B0");
    for (int k = 0; k < frame.size(); ++k) {
        end.send(frame.mid(k, 1));
        ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == k + 1; }, kPatienceMs));
    }
    EXPECT_EQ(hex(received), "AA 90 31 32 B0");

    QByteArray all;
    for (int value = 0; value < 256; ++value)
        all.append(static_cast<char>(value));
    received.clear();
    end.send(all);
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == all.size(); }, kPatienceMs));
    EXPECT_EQ(received, all);

    // And the other way round.
    ASSERT_TRUE(link.write(all));
    EXPECT_EQ(end.receive(256), all);
}

TEST_F(SerialLinkTest, ClearInputDiscardsBytesNotYetRead)
{
    link.setReceiveHandler([this] { ++notifications; });
    end.send(fromHex("01 02 03 04"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return notifications > 0; }, kPatienceMs));
    link.clearInput();
    EXPECT_TRUE(link.readAll().isEmpty());
    end.send(fromHex("AA 81"));
    QByteArray next;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (next += link.readAll()).size() == 2; }, kPatienceMs));
    EXPECT_EQ(hex(next), "AA 81");
}

TEST_F(SerialLinkTest, ManyQuickExchangesNeverLeaveThePortDeaf)
{
    // Each answer is written from the handler and the next frame follows at once, so the port's read
    // notification often comes while the bytes of the last one are still being taken; the line must
    // stay watched.
    constexpr int kExchanges = 300;
    std::atomic<int> acknowledged{0};
    std::thread instrument([&] {
        for (int k = 0; k < kExchanges; ++k) {
            end.send(fromHex("AA 90 31 32 B0"));
            if (hex(end.receive(2, kPatienceMs)) != "AA 81")
                return;
            ++acknowledged;
        }
    });
    QByteArray pending;
    QList<QByteArray> frames;
    link.setReceiveHandler([&] {
        pending += link.readAll();
        while (pending.size() >= 5) {
            frames.append(pending.left(5));
            pending.remove(0, 5);
            link.write(fromHex("AA 81"));
        }
    });
    const bool done = QTest::qWaitFor([&] { return acknowledged == kExchanges; }, kPatienceMs);
    instrument.join();
    EXPECT_TRUE(done) << acknowledged << " exchanges";
    EXPECT_TRUE(link.isOpen());
    for (const QByteArray &frame : frames)
        EXPECT_EQ(hex(frame), "AA 90 31 32 B0");
}

TEST_F(SerialLinkTest, CloseWaitsForTheWrittenBytesWithoutHoldingTheWindow)
{
    // Far more than the line's buffers hold, so most of it is still inside the port when the close
    // is asked for.
    QByteArray big(256 * 1024, '\0');
    for (int k = 0; k < big.size(); ++k)
        big[k] = static_cast<char>(k * 7);
    // The instrument reads nothing until the call has returned: a close that waited for the bytes
    // to leave would wait for the whole patience here.
    std::promise<void> returned;
    bool readAfterTheReturn = false;
    QByteArray got;
    std::thread instrument([&] {
        readAfterTheReturn = returned.get_future().wait_for(std::chrono::milliseconds(kPatienceMs)) ==
                             std::future_status::ready;
        got = end.receive(static_cast<int>(big.size()), kPatienceMs);
    });
    ASSERT_TRUE(link.write(big));
    bool closed = false;
    link.closeWhenWritten([&] { closed = true; });
    returned.set_value();
    // The close comes through the event loop once the bytes have left.
    EXPECT_FALSE(closed);
    EXPECT_TRUE(QTest::qWaitFor([&] { return closed; }, kPatienceMs));
    instrument.join();
    EXPECT_TRUE(readAfterTheReturn) << "the call waited for the bytes to leave";
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(got.size(), big.size());
    EXPECT_TRUE(got == big);
}

TEST_F(SerialLinkTest, ReopensAfterClose)
{
    bool closed = false;
    link.closeWhenWritten([&] { closed = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return closed; }, kPatienceMs));
    ASSERT_TRUE(link.open());
    end.send(fromHex("AA BB"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 2; }, kPatienceMs));
    EXPECT_EQ(hex(received), "AA BB");
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
    bool closed = false;
    link.closeWhenWritten([&] { closed = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return closed; }, kPatienceMs));
    link.setSettings(QStringLiteral("57600,N,8,1"));
    ASSERT_TRUE(link.open());
    ASSERT_EQ(::tcgetattr(end.keeper(), &tio), 0);
    EXPECT_EQ(::cfgetospeed(&tio), static_cast<speed_t>(B57600));
    EXPECT_EQ(tio.c_cflag & CSTOPB, 0u);

    // Text that is no line setting leaves the settings as they were.
    link.setSettings(QStringLiteral("fast"));
    EXPECT_EQ(link.settings(), "57600,N,8,1");
}

TEST_F(SerialLinkTest, OtherEndHangingUpClosesThePortAndIsToldOnce)
{
    int lost = 0;
    link.setLostHandler([&] { ++lost; });
    end.hangUp();
    ASSERT_TRUE(QTest::qWaitFor([&] { return lost > 0; }, kPatienceMs));
    EXPECT_FALSE(link.isOpen());
    // The port is closed, so nothing further can come of the dead line.
    EXPECT_EQ(lost, 1);
    EXPECT_TRUE(received.isEmpty());
    EXPECT_FALSE(link.write(fromHex("AA BB")));
    EXPECT_TRUE(link.readAll().isEmpty());
}

TEST(SerialLinkOpen, PortWithoutDeviceFailsCleanly)
{
    QTemporaryDir empty;
    QSerialLink link(empty.path());
    EXPECT_FALSE(link.open());
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(link.write(fromHex("AA BB")));
    EXPECT_TRUE(link.readAll().isEmpty());
    link.clearInput();
    link.clearOutput();
    bool closed = false;
    link.closeWhenWritten([&] { closed = true; });
    EXPECT_TRUE(closed);

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
    // Nothing can show that a byte will never come: the bytes reached the second device, and the
    // first is given a moment in which any that went there too would have come.
    EXPECT_TRUE(first.receive(1, 100).isEmpty());
}

// A device given on the command line is opened whatever the port number and the folder hold.
TEST(SerialLinkOpen, GivenDeviceIsOpenedWhateverThePortNumber)
{
    InstrumentEnd end;
    QTemporaryDir empty;
    QSerialLink link(empty.path());
    link.setDevicePath(QFile::symLinkTarget(QDir(end.deviceDir()).filePath(kCableName)));
    link.setCommPort(5);
    ASSERT_TRUE(link.open()) << link.openFailureDetail().toStdString();
    ASSERT_TRUE(link.write(fromHex("AA 81")));
    EXPECT_EQ(hex(end.receive(2)), "AA 81");
    bool closed = false;
    link.closeWhenWritten([&] { closed = true; });
    EXPECT_TRUE(closed || QTest::qWaitFor([&] { return closed; }, 20000));

    // A device that is not there fails with the system's reason.
    link.setDevicePath(empty.filePath(QStringLiteral("ttyUSB9")));
    EXPECT_FALSE(link.open());
    EXPECT_TRUE(link.openFailureDetail().contains(empty.filePath(QStringLiteral("ttyUSB9"))))
        << link.openFailureDetail().toStdString();
}
