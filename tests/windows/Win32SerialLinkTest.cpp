// The Windows link on a real communications port: a pseudo-terminal that wine shows as a COM port,
// with the instrument's end held by the runner (run-serial-link-test.py), which answers what the
// test asks of it on the line:
//   "STTY\n"              the line settings of the terminal, e.g. "1200 8N1 raw\n"
//   "ECHO n\n" + n bytes  the same bytes back, in pieces
//   "SEND n\n"            n bytes, byte i = (i * 7 + 3) mod 256, in pieces
//   "EXPECT n\n" + n bytes, then later "REPORT\n"   "GOT count sum\n" of those bytes
//   "HANGUP\n"            the instrument's end goes away, as a pulled cable
// The port is named by RQX_TEST_PORT (e.g. COM7).
#include "serial/Win32SerialLink.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr int kDeadlineMs = 20000;

QString testPort()
{
    return qEnvironmentVariable("RQX_TEST_PORT", QStringLiteral("COM7"));
}

int testPortNumber()
{
    return testPort().mid(3).toInt();
}

// Turns the event loop until done() holds or the deadline passes; false on the deadline.
bool waitFor(const std::function<bool()> &done, int timeoutMs = kDeadlineMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

QByteArray pattern(int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes.append(char((i * 7 + 3) % 256));
    return bytes;
}

// Every byte value, the line ends and the flow-control characters among them.
QByteArray everyByte()
{
    QByteArray bytes;
    for (int round = 0; round < 2; ++round) {
        for (int value = 0; value < 256; ++value)
            bytes.append(char(value));
    }
    return bytes;
}

// The link on the test port, with what its handlers told.
class PortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        link.setCommPort(testPortNumber());
        link.setReceiveHandler([this] {
            ++arrivals;
            const QByteArray bytes = link.readAll();
            if (bytes.isEmpty())
                ++emptyArrivals;
            received += bytes;
        });
        link.setLostHandler([this] { ++lost; });
    }

    // The instrument's answer line to a command.
    QByteArray ask(const QByteArray &command)
    {
        received.clear();
        EXPECT_TRUE(link.write(command));
        const bool answered = waitFor([this] { return received.contains('\n'); });
        EXPECT_TRUE(answered) << command.constData() << " unanswered; got "
                              << received.toHex(' ').constData();
        const QByteArray line = received.left(received.indexOf('\n'));
        received.remove(0, line.size() + 1);
        return line;
    }

    Win32SerialLink link;
    QByteArray received;
    int arrivals = 0;
    int emptyArrivals = 0;
    int lost = 0;
};

} // namespace

// The settings text in the device control block, as the port driver is told it.
TEST(Win32LineSettings, SettingsTextInTheControlBlock)
{
    const struct {
        const char *text;
        bool valid;
        DWORD baud;
        BYTE dataBits;
        BYTE parity;
        BYTE stopBits;
    } cases[] = {
        {"1200,N,8,1", true, 1200, 8, NOPARITY, ONESTOPBIT},
        {"9600,E,7,2", true, 9600, 7, EVENPARITY, TWOSTOPBITS},
        {"115200,o,8,1.5", true, 115200, 8, ODDPARITY, ONE5STOPBITS},
        {"4800,M,5,1", true, 4800, 5, MARKPARITY, ONESTOPBIT},
        {" 2400 , S , 6 , 1 ", true, 2400, 6, SPACEPARITY, ONESTOPBIT},
        {"1200,N,9,1", false, 0, 0, 0, 0},
        {"1200,X,8,1", false, 0, 0, 0, 0},
        {"1200,N,8,3", false, 0, 0, 0, 0},
        {"0,N,8,1", false, 0, 0, 0, 0},
        {"1200,N,8", false, 0, 0, 0, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        DCB dcb{};
        dcb.fOutxCtsFlow = TRUE;
        dcb.fOutX = TRUE;
        dcb.fAbortOnError = TRUE;
        ASSERT_EQ(Win32SerialLink::applySettingsText(QString::fromLatin1(c.text), &dcb), c.valid);
        if (!c.valid) {
            EXPECT_EQ(dcb.BaudRate, 0u);
            continue;
        }
        EXPECT_EQ(dcb.BaudRate, c.baud);
        EXPECT_EQ(dcb.ByteSize, c.dataBits);
        EXPECT_EQ(dcb.Parity, c.parity);
        EXPECT_EQ(dcb.StopBits, c.stopBits);
        EXPECT_EQ(bool(dcb.fParity), c.parity != NOPARITY);
        // No flow control, the control lines raised, and line errors do not stop the port.
        EXPECT_FALSE(dcb.fOutxCtsFlow);
        EXPECT_FALSE(dcb.fOutX);
        EXPECT_FALSE(dcb.fInX);
        EXPECT_EQ(dcb.fDtrControl, DWORD(DTR_CONTROL_ENABLE));
        EXPECT_EQ(dcb.fRtsControl, DWORD(RTS_CONTROL_ENABLE));
        EXPECT_FALSE(dcb.fAbortOnError);
        EXPECT_TRUE(dcb.fBinary);
    }
}

TEST_F(PortTest, MissingPortGivesWindowsOwnReason)
{
    link.setCommPort(250);
    EXPECT_FALSE(link.open());
    EXPECT_FALSE(link.isOpen());
    const QString detail = link.openFailureDetail();
    EXPECT_TRUE(detail.startsWith(QStringLiteral("设备：\\\\.\\COM250\n系统错误："))) << detail.toStdString();
    // The system's own words follow, not a number alone.
    EXPECT_GT(detail.section(QStringLiteral("系统错误："), 1).trimmed().size(), 8) << detail.toStdString();
    EXPECT_FALSE(link.write("x"));
    EXPECT_TRUE(link.readAll().isEmpty());
}

TEST_F(PortTest, OpensWithTheLineSettingsAndChangesThemWhileOpen)
{
    link.setSettings(QStringLiteral("1200,N,8,1"));
    ASSERT_TRUE(link.open()) << link.openFailureDetail().toStdString();
    EXPECT_TRUE(link.isOpen());
    EXPECT_TRUE(link.openFailureDetail().isEmpty());
    EXPECT_EQ(link.settings(), QStringLiteral("1200,N,8,1"));
    EXPECT_EQ(ask("STTY\n"), QByteArray("1200 8N1 raw"));

    // A pseudo-terminal keeps eight data bits and no parity whatever it is told: the speed and the
    // stop bits show; the rest is shown by the settings' own table below.
    link.setSettings(QStringLiteral("9600,N,8,2"));
    EXPECT_EQ(link.settings(), QStringLiteral("9600,N,8,2"));
    EXPECT_EQ(ask("STTY\n"), QByteArray("9600 8N2 raw"));

    link.setSettings(QStringLiteral("fast"));
    EXPECT_EQ(link.settings(), QStringLiteral("9600,N,8,2"));
    link.setSettings(QStringLiteral("115200,N,8,1"));
    EXPECT_EQ(ask("STTY\n"), QByteArray("115200 8N1 raw"));
    link.setSettings(QStringLiteral("1200,N,8,1"));
    EXPECT_EQ(ask("STTY\n"), QByteArray("1200 8N1 raw"));

    bool closed = false;
    link.closeWhenWritten([&closed] { closed = true; });
    EXPECT_TRUE(waitFor([&] { return closed; }));
    EXPECT_FALSE(link.isOpen());
}

TEST_F(PortTest, BytesBothWaysInPieces)
{
    ASSERT_TRUE(link.open()) << link.openFailureDetail().toStdString();
    const QByteArray bytes = everyByte();
    // Written in pieces of every size; the instrument sends them back in pieces of its own.
    ASSERT_TRUE(link.write("ECHO " + QByteArray::number(bytes.size()) + '\n'));
    received.clear();
    for (qsizetype at = 0, size = 1; at < bytes.size(); at += size, size = size % 61 + 1)
        ASSERT_TRUE(link.write(bytes.mid(at, size)));
    EXPECT_TRUE(waitFor([&] { return received.size() >= bytes.size(); }));
    EXPECT_EQ(received.toHex(' '), bytes.toHex(' '));

    // A stream from the instrument, read as it comes.
    received.clear();
    ASSERT_TRUE(link.write("SEND 3000\n"));
    EXPECT_TRUE(waitFor([&] { return received.size() >= 3000; }));
    EXPECT_EQ(received, pattern(3000));
    EXPECT_GT(arrivals, 2);
    EXPECT_EQ(emptyArrivals, 0);
    EXPECT_EQ(lost, 0);
}

TEST_F(PortTest, ClearingDropsWhatWasReceived)
{
    ASSERT_TRUE(link.open()) << link.openFailureDetail().toStdString();
    link.setReceiveHandler([this] { ++arrivals; });
    ASSERT_TRUE(link.write("SEND 40\n"));
    EXPECT_TRUE(waitFor([&] { return arrivals > 0; }));
    link.clearInput();
    EXPECT_TRUE(link.readAll().isEmpty());
    link.clearOutput();
    // The port goes on after the clears.
    link.setReceiveHandler([this] { received += link.readAll(); });
    received.clear();
    EXPECT_EQ(ask("STTY\n").left(4), QByteArray("1200"));
}

TEST_F(PortTest, CloseComesAfterTheWrittenBytes)
{
    ASSERT_TRUE(link.open()) << link.openFailureDetail().toStdString();
    // Two seconds of bytes at 1200 baud, written just before the port is closed: every one arrives.
    const QByteArray bytes = pattern(240);
    ASSERT_TRUE(link.write("EXPECT " + QByteArray::number(bytes.size()) + '\n'));
    ASSERT_TRUE(link.write(bytes));
    int closed = 0;
    link.closeWhenWritten([&closed] { ++closed; });
    EXPECT_TRUE(waitFor([&] { return closed > 0; }));
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(link.write("late"));
    // A close of a closed port is told at once.
    link.closeWhenWritten([&closed] { ++closed; });
    EXPECT_EQ(closed, 2);

    ASSERT_TRUE(link.open()) << link.openFailureDetail().toStdString();
    int sum = 0;
    for (char c : bytes)
        sum += static_cast<unsigned char>(c);
    EXPECT_EQ(ask("REPORT\n"), "GOT " + QByteArray::number(bytes.size()) + ' ' + QByteArray::number(sum));
    EXPECT_EQ(lost, 0);
}

// Last: the instrument's end goes away for good.
TEST_F(PortTest, PulledCableIsToldOnceAndTheNextOpenFails)
{
    ASSERT_TRUE(link.open()) << link.openFailureDetail().toStdString();
    bool closed = false;
    ASSERT_TRUE(link.write("HANGUP\n"));
    EXPECT_TRUE(waitFor([&] { return lost > 0; }));
    EXPECT_EQ(lost, 1);
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(link.write("after"));
    link.closeWhenWritten([&closed] { closed = true; });
    EXPECT_TRUE(closed);
    // The port's device is gone: the next open says so in the system's words.
    EXPECT_FALSE(link.open());
    EXPECT_TRUE(link.openFailureDetail().contains(QStringLiteral("系统错误：")))
        << link.openFailureDetail().toStdString();
    EXPECT_EQ(lost, 1);
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
