#include "serial/CableSearch.h"
#include "serial/DeviceList.h"
#include "serial/PortFriendlyName.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
const QString kCable = QStringLiteral("usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0");

SerialDevice device(const QString &name, const QString &port)
{
    return {name, port, QString()};
}

void addEntry(const QTemporaryDir &dir, const QString &name)
{
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), dir.filePath(name)));
}
} // namespace

TEST(DeviceList, EntriesInNameOrderNumberedFromCom1)
{
    QTemporaryDir dir;
    addEntry(dir, kCable);
    addEntry(dir, QStringLiteral("usb-FTDI_FT232R_USB_UART_A1-if00-port0"));
    addEntry(dir, QStringLiteral("usb-1a86_USB_Serial-if00-port0"));
    // A device that is gone leaves a dangling link; it still holds its number.
    ASSERT_TRUE(
        QFile::link(QStringLiteral("/nonexistent/ttyUSB9"), dir.filePath(QStringLiteral("usb-Z-gone"))));

    const QVector<SerialDevice> devices = ListSerialDevices(dir.path());
    ASSERT_EQ(devices.size(), 4);
    EXPECT_EQ(devices[0].name, QStringLiteral("usb-1a86_USB_Serial-if00-port0"));
    EXPECT_EQ(devices[0].portName, QStringLiteral("COM1"));
    EXPECT_EQ(devices[1].name, QStringLiteral("usb-FTDI_FT232R_USB_UART_A1-if00-port0"));
    EXPECT_EQ(devices[1].portName, QStringLiteral("COM2"));
    EXPECT_EQ(devices[2].name, kCable);
    EXPECT_EQ(devices[2].portName, QStringLiteral("COM3"));
    EXPECT_EQ(devices[2].path, dir.filePath(kCable));
    EXPECT_EQ(devices[3].portName, QStringLiteral("COM4"));

    EXPECT_EQ(DevicePathForPort(dir.path(), 3), dir.filePath(kCable));
    EXPECT_EQ(DevicePathForPort(dir.path(), 5), QString());
    EXPECT_EQ(DevicePathForPort(dir.path(), 0), QString());
}

TEST(DeviceList, MissingOrEmptyFolderMeansNoDevices)
{
    QTemporaryDir dir;
    EXPECT_TRUE(ListSerialDevices(dir.path()).isEmpty());
    EXPECT_TRUE(ListSerialDevices(dir.filePath(QStringLiteral("missing"))).isEmpty());
}

TEST(CableSearch, ProlificMustStartWithinTheFirstFifteenPositions)
{
    EXPECT_TRUE(IsProlificDeviceName(QStringLiteral("\\Device\\ProlificSerial0")));
    EXPECT_TRUE(IsProlificDeviceName(kCable));
    EXPECT_TRUE(IsProlificDeviceName(QStringLiteral("Prolific1234567")));          // at position 1
    EXPECT_TRUE(IsProlificDeviceName(QStringLiteral("abcdefghijklmnProlific")));   // at position 15
    EXPECT_FALSE(IsProlificDeviceName(QStringLiteral("abcdefghijklmnoProlific"))); // at position 16
    EXPECT_FALSE(IsProlificDeviceName(QStringLiteral("Prolific123456"))); // 15 with the NUL: too short
    EXPECT_FALSE(IsProlificDeviceName(QStringLiteral("usb-prolific_Technology")));
    EXPECT_FALSE(IsProlificDeviceName(QString()));
}

TEST(CableSearch, FoundCableGivesItsPort)
{
    const CableSearchResult result =
        FindUsbSerialPort({device(QStringLiteral("\\Device\\Serial0"), QStringLiteral("COM1")),
                           device(QStringLiteral("\\Device\\ProlificSerial0"), QStringLiteral("COM3"))});
    EXPECT_EQ(result.outcome, CableSearchResult::Found);
    EXPECT_EQ(result.portName, QStringLiteral("COM3"));
    EXPECT_EQ(result.commPort, 3);
}

TEST(CableSearch, WithSeveralCablesTheLastWins)
{
    const CableSearchResult result =
        FindUsbSerialPort({device(QStringLiteral("\\Device\\ProlificSerial0"), QStringLiteral("COM4")),
                           device(QStringLiteral("\\Device\\ProlificSerial1"), QStringLiteral("COM16"))});
    EXPECT_EQ(result.outcome, CableSearchResult::Found);
    EXPECT_EQ(result.commPort, 16);
}

TEST(CableSearch, PortAboveCom16EndsTheSearchEvenIfAGoodOneFollows)
{
    const CableSearchResult result =
        FindUsbSerialPort({device(QStringLiteral("\\Device\\ProlificSerial0"), QStringLiteral("COM17")),
                           device(QStringLiteral("\\Device\\ProlificSerial1"), QStringLiteral("COM4"))});
    EXPECT_EQ(result.outcome, CableSearchResult::OutOfRange);
    EXPECT_EQ(result.portName, QStringLiteral("COM17"));

    EXPECT_EQ(
        FindUsbSerialPort({device(QStringLiteral("\\Device\\ProlificSerial0"), QStringLiteral("ttyUSB0"))})
            .outcome,
        CableSearchResult::OutOfRange);
    EXPECT_EQ(FindUsbSerialPort({device(QStringLiteral("\\Device\\ProlificSerial0"), QStringLiteral("COM0"))})
                  .outcome,
              CableSearchResult::OutOfRange);
}

TEST(CableSearch, NoCableAmongTheDevices)
{
    EXPECT_EQ(FindUsbSerialPort({}).outcome, CableSearchResult::NotFound);
    EXPECT_EQ(FindUsbSerialPort(
                  {device(QStringLiteral("usb-FTDI_FT232R_USB_UART_A1-if00-port0"), QStringLiteral("COM1"))})
                  .outcome,
              CableSearchResult::NotFound);
}

TEST(CableSearch, CableAsSeventeenthEntryOfTheFolderIsOutOfRange)
{
    QTemporaryDir dir;
    for (int i = 1; i <= 16; ++i)
        addEntry(dir, QStringLiteral("usb-A%1_Serial-if00-port0").arg(i, 2, 10, QChar(u'0')));
    addEntry(dir, kCable);
    const CableSearchResult result = FindUsbSerialPort(ListSerialDevices(dir.path()));
    EXPECT_EQ(result.outcome, CableSearchResult::OutOfRange);
    EXPECT_EQ(result.portName, QStringLiteral("COM17"));

    QFile::remove(dir.filePath(QStringLiteral("usb-A01_Serial-if00-port0")));
    const CableSearchResult sixteenth = FindUsbSerialPort(ListSerialDevices(dir.path()));
    EXPECT_EQ(sixteenth.outcome, CableSearchResult::Found);
    EXPECT_EQ(sixteenth.commPort, 16);
}

// The device manager names a port's device after its description, with the port in brackets at the end.
TEST(CableSearch, FriendlyNameEndsWithItsPort)
{
    const struct {
        const char *friendlyName;
        const char *port;
    } names[] = {
        {"Prolific USB-to-Serial Comm Port (COM5)", "COM5"},
        {"Prolific PL2303GT USB Serial COM Port (COM12)", "COM12"},
        {"Communications Port (COM1)", "COM1"},
        {"USB Serial Port (COM256)", "COM256"},
        {"USB-SERIAL CH340 (com3) ", "COM3"},
        {"ECP Printer Port (LPT1)", ""},
        {"Prolific USB-to-Serial Comm Port", ""},
        {"Port (COM5) on hub 2", ""},
        {"Bad port (COM0)", ""},
        {"Too high (COM257)", ""},
        {"Leading zero (COM05)", ""},
        {"", ""},
    };
    for (const auto &name : names) {
        SCOPED_TRACE(name.friendlyName);
        EXPECT_EQ(PortFromFriendlyName(QString::fromUtf8(name.friendlyName)), QLatin1String(name.port));
    }
}

// The cable search counts a device named after the cable's maker's friendly name as the cable.
TEST(CableSearch, ProlificFriendlyNameIsTheCable)
{
    const QString name = QStringLiteral("Prolific USB-to-Serial Comm Port (COM5)");
    const CableSearchResult found = FindUsbSerialPort({device(name, PortFromFriendlyName(name))});
    EXPECT_EQ(found.outcome, CableSearchResult::Found);
    EXPECT_EQ(found.portName, QStringLiteral("COM5"));
    EXPECT_EQ(found.commPort, 5);
    // The driver's device name in the registry's serial device map names it too.
    EXPECT_EQ(FindUsbSerialPort({device(QStringLiteral("\\Device\\ProlificSerial0"), QStringLiteral("COM7"))})
                  .commPort,
              7);
}

// A port given on the command line is taken without a search, whatever devices there are.
TEST(CableSearch, GivenPortIsTakenAsItIs)
{
    const struct {
        const char *given;
        CableSearchResult::Outcome outcome;
        const char *portName;
        int commPort;
    } ports[] = {
        {"COM7", CableSearchResult::Found, "COM7", 7},
        {"com3", CableSearchResult::Found, "COM3", 3},
        {"\\\\.\\COM20", CableSearchResult::Found, "COM20", 20},
        {"COM123", CableSearchResult::Found, "COM123", 123},
        {"/dev/ttyUSB0", CableSearchResult::Found, "/dev/ttyUSB0", 1},
        {"COM0", CableSearchResult::Found, "COM0", 1},
        {"", CableSearchResult::NotFound, "", 0},
    };
    for (const auto &port : ports) {
        SCOPED_TRACE(port.given);
        const CableSearchResult result = GivenPort(QString::fromUtf8(port.given));
        EXPECT_EQ(result.outcome, port.outcome);
        EXPECT_EQ(result.portName, QLatin1String(port.portName));
        EXPECT_EQ(result.commPort, port.commPort);
    }
}
