#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <cstdio>
#include <random>

// The instrument's end of the line: the master side of a pseudo-terminal whose slave side is the
// "serial port" the program opens. Every byte in both directions can be recorded with a timestamp.
class Wire {
public:
    ~Wire();

    // Opens the pseudo-terminal in raw mode and links deviceDir/<the cable's udev name> to its slave.
    bool open(const QString &deviceDir, QString *error);
    QString slavePath() const { return m_slavePath; }
    QString linkPath() const { return m_linkPath; }

    // Starts writing "<ms since start> <in|out> <hex>" lines to path, the time to the microsecond
    // ("12.345 in AA BB": the program wrote AA BB 12.345 ms after the line was opened).
    bool recordTo(const QString &path);

    // From now on the bytes the instrument sends leave as on a real line: at baud, 10 bit times a
    // byte (start, 8 data, stop), in pieces of uneven length drawn from seed, the way a USB-serial
    // cable hands them to the computer. Without it every send is written at once, whole.
    void setLineSpeed(int baud, quint32 seed);

    // Writes bytes to the program; at line speed it returns once the last piece has left.
    bool send(const QByteArray &bytes);
    // Reads exactly count bytes; false when they did not all come within timeoutMs (got holds what came).
    bool receive(int count, QByteArray *got, int timeoutMs);
    // Reads until the bytes read so far end with terminator; false on time-out.
    bool receiveUntil(const QByteArray &terminator, QByteArray *got, int timeoutMs, int maxBytes = 1 << 20);
    // Reads whatever arrives within timeoutMs (nothing is an empty result).
    QByteArray drain(int timeoutMs);
    // Waits up to timeoutMs for bytes and returns those of the first read (possibly fewer than the
    // program has written so far); empty when nothing came.
    QByteArray readAvailable(int timeoutMs);
    // Waits until the program has read every byte sent to it, or timeoutMs has passed: bytes still
    // in the line when the instrument hangs up would be lost to the program.
    void waitUntilTaken(int timeoutMs);
    // For waiting on the line together with other inputs.
    int descriptor() const { return m_master; }

private:
    void record(const char *direction, const QByteArray &bytes);
    int readSome(QByteArray *into, int maxBytes, int timeoutMs);
    bool writeAll(const QByteArray &bytes);
    qsizetype nextPieceLength();

    int m_master = -1;
    int m_slaveKeeper = -1;
    QString m_slavePath;
    QString m_linkPath;
    FILE *m_record = nullptr;
    QElapsedTimer m_clock;

    int m_baud = 0; // 0: no line speed
    std::mt19937 m_pieces;
    // When the last byte sent so far has left, in nanoseconds of m_clock: the next byte follows it.
    qint64 m_lineFreeAtNs = 0;
};

// The udev name of the maker's cable, as /dev/serial/by-id shows it.
inline constexpr char kCableDeviceName[] = "usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0";

// Writes a message for the person running the simulator or the test that drives it.
void report(const QString &text);
// Bytes as spaced upper-case hex for reports, "nothing" for none.
QString hexOrNothing(const QByteArray &bytes);
