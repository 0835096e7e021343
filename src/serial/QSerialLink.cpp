#include "QSerialLink.h"

#include "DeviceList.h"

#include <QDeadlineTimer>
#include <QStringList>

#include <utility>

#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>

namespace {
// The line needs ten bit times per byte (start, 8 data, stop); written bytes are given this much
// time to leave, plus a margin, before the port is closed anyway.
constexpr int kBitsPerByte = 10;
constexpr int kDrainMarginMs = 2000;
// The longest frame is 246 bytes; bytes handed back beyond this are noise and the oldest go first.
constexpr int kHeldBound = 4096;
} // namespace

QSerialLink::QSerialLink(const QString &deviceDir, QObject *parent) : QObject(parent), m_deviceDir(deviceDir)
{
    parseSettings(m_settings, &m_line);
    connect(&m_port, &QSerialPort::readyRead, this, [this] {
        if (m_pulling)
            scheduleCheck();
        else
            checkThreshold();
    });
    connect(&m_port, &QSerialPort::errorOccurred, this, &QSerialLink::onError);
}

QSerialLink::~QSerialLink()
{
    if (m_port.isOpen())
        close();
}

void QSerialLink::clearOutput()
{
    if (m_port.isOpen())
        m_port.clear(QSerialPort::Output);
}

void QSerialLink::clearInput()
{
    m_held.clear();
    if (m_port.isOpen())
        m_port.clear(QSerialPort::Input);
}

void QSerialLink::setSendThreshold(int bytes)
{
    m_sendThreshold = bytes;
}

void QSerialLink::setReceiveThreshold(int bytes)
{
    m_receiveThreshold = bytes;
    // Bytes may already be waiting beyond the new threshold; they are due now, not at the next byte.
    if (bytes > 0)
        scheduleCheck();
}

bool QSerialLink::isOpen() const
{
    return m_port.isOpen();
}

bool QSerialLink::open()
{
    if (m_port.isOpen())
        return true;
    const QString path = DevicePathForPort(m_deviceDir, m_commPort);
    if (path.isEmpty())
        return false;
    m_port.setPortName(path);
    // Set before opening, the line comes up with its settings at once rather than after a moment
    // at the port's defaults.
    applySettings();
    m_held.clear();
    m_failureSeen = false;
    return m_port.open(QIODevice::ReadWrite);
}

void QSerialLink::close()
{
    m_held.clear();
    if (!m_port.isOpen())
        return;
    // Bytes handed to write() must reach the instrument: the last record of a send is written just
    // before the port is closed.
    const qint64 pending = m_port.bytesToWrite();
    const int budgetMs =
        static_cast<int>(pending * kBitsPerByte * 1000 / qMax(m_line.baudRate, 1)) + kDrainMarginMs;
    const QDeadlineTimer deadline(budgetMs);
    while (m_port.isOpen() && m_port.bytesToWrite() > 0 && !deadline.hasExpired()) {
        if (!m_port.waitForBytesWritten(static_cast<int>(deadline.remainingTime())))
            break;
    }
    if (!m_port.isOpen())
        return;
    ::tcdrain(m_port.handle());
    m_port.close();
}

bool QSerialLink::write(const QByteArray &bytes)
{
    if (!m_port.isOpen())
        return false;
    if (m_port.write(bytes) != bytes.size()) {
        m_failureSeen = true;
        return false;
    }
    // Send now rather than at the next turn of the event loop: the answer is due as soon as the
    // handler has built it, and some handlers wait for the instrument before they return.
    m_port.flush();
    return true;
}

int QSerialLink::waitingCount() const
{
    return static_cast<int>(m_held.size()) + portWaitingCount();
}

int QSerialLink::portWaitingCount() const
{
    if (!m_port.isOpen())
        return 0;
    // The bytes already taken from the device plus those the driver holds, so that a routine that
    // waits inside the receive event sees the count grow.
    int queued = 0;
    if (::ioctl(m_port.handle(), FIONREAD, &queued) != 0)
        queued = 0;
    return static_cast<int>(m_port.bytesAvailable()) + queued;
}

QByteArray QSerialLink::readAll()
{
    QByteArray bytes = std::exchange(m_held, {});
    if (!m_port.isOpen())
        return bytes;
    pullWaitingBytes();
    bytes += m_port.readAll();
    return bytes;
}

void QSerialLink::holdUnrouted(const QByteArray &bytes)
{
    if (bytes.isEmpty() || !m_port.isOpen())
        return;
    m_held.prepend(bytes);
    if (m_held.size() > kHeldBound)
        m_held.remove(0, m_held.size() - kHeldBound);
}

void QSerialLink::holdReceiveEvents(bool hold)
{
    m_eventHolds = qMax(0, m_eventHolds + (hold ? 1 : -1));
    if (m_eventHolds == 0 && !m_inHandler)
        scheduleCheck();
}

void QSerialLink::pullWaitingBytes()
{
    // Takes what the driver holds into the port's buffer without raising the receive event from
    // inside the caller; the threshold is checked again once the caller has returned.
    m_pulling = true;
    int queued = 0;
    while (m_port.isOpen() && ::ioctl(m_port.handle(), FIONREAD, &queued) == 0 && queued > 0) {
        if (!m_port.waitForReadyRead(0))
            break;
    }
    m_pulling = false;
}

void QSerialLink::setCommPort(int number)
{
    m_commPort = number;
}

void QSerialLink::setSettings(const QString &settings)
{
    LineSettings parsed;
    if (!parseSettings(settings, &parsed))
        return;
    m_settings = settings;
    m_line = parsed;
    if (m_port.isOpen())
        applySettings();
}

bool QSerialLink::parseSettings(const QString &text, LineSettings *settings)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != 4)
        return false;
    bool ok = false;
    const int baud = parts[0].trimmed().toInt(&ok);
    if (!ok || baud <= 0)
        return false;
    LineSettings parsed;
    parsed.baudRate = baud;

    const QString parity = parts[1].trimmed().toUpper();
    if (parity == QLatin1String("N"))
        parsed.parity = QSerialPort::NoParity;
    else if (parity == QLatin1String("E"))
        parsed.parity = QSerialPort::EvenParity;
    else if (parity == QLatin1String("O"))
        parsed.parity = QSerialPort::OddParity;
    else if (parity == QLatin1String("M"))
        parsed.parity = QSerialPort::MarkParity;
    else if (parity == QLatin1String("S"))
        parsed.parity = QSerialPort::SpaceParity;
    else
        return false;

    const int dataBits = parts[2].trimmed().toInt(&ok);
    if (!ok || dataBits < 5 || dataBits > 8)
        return false;
    parsed.dataBits = static_cast<QSerialPort::DataBits>(dataBits);

    const QString stop = parts[3].trimmed();
    if (stop == QLatin1String("1"))
        parsed.stopBits = QSerialPort::OneStop;
    else if (stop == QLatin1String("1.5"))
        parsed.stopBits = QSerialPort::OneAndHalfStop;
    else if (stop == QLatin1String("2"))
        parsed.stopBits = QSerialPort::TwoStop;
    else
        return false;

    *settings = parsed;
    return true;
}

void QSerialLink::applySettings()
{
    m_port.setBaudRate(m_line.baudRate);
    m_port.setParity(m_line.parity);
    m_port.setDataBits(m_line.dataBits);
    m_port.setStopBits(m_line.stopBits);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
}

void QSerialLink::checkThreshold()
{
    if (m_inHandler || m_eventHolds > 0) {
        // Data came while the handler runs or a message box is open (a nested event loop): held
        // until it returns or closes, which looks again. Nothing is queued meanwhile, or the box's
        // loop would spin on it.
        return;
    }
    // Bytes handed back hold no whole frame: only new bytes can complete one.
    if (!m_handler || m_receiveThreshold <= 0 || !m_port.isOpen() || portWaitingCount() == 0 ||
        waitingCount() < m_receiveThreshold)
        return;
    m_inHandler = true;
    m_handler();
    m_inHandler = false;
    // The port does not signal bytes that arrive while the handler it signalled for still runs
    // (a message box inside it), so whatever came meanwhile is looked for now. Bytes the handler
    // handed back raise nothing by themselves, so this cannot spin.
    scheduleCheck();
}

void QSerialLink::scheduleCheck()
{
    if (m_checkQueued)
        return;
    m_checkQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_checkQueued = false;
            checkThreshold();
        },
        Qt::QueuedConnection);
}

void QSerialLink::onError(QSerialPort::SerialPortError error)
{
    // Line errors (framing, parity, overrun, ...) are ignored. A device that has gone away (cable
    // pulled, the other end of the line hung up) keeps reporting itself readable and failing; it is
    // closed, after the port's own call has returned, so the next operation that opens it reports it.
    if (error == QSerialPort::NoError || m_closeQueued || !m_port.isOpen())
        return;
    if (!deviceGone()) {
        // A read notification that comes after its bytes were already taken (by the pull inside a
        // handler) reads nothing; the port reports that as a resource error and stops watching
        // the line. The device is still there: watch it again.
        if (error == QSerialPort::ResourceError)
            QMetaObject::invokeMethod(this, &QSerialLink::resumeReading, Qt::QueuedConnection);
        return;
    }
    m_closeQueued = true;
    QMetaObject::invokeMethod(this, &QSerialLink::closeWithoutDrain, Qt::QueuedConnection);
}

bool QSerialLink::deviceGone() const
{
    pollfd watch{m_port.handle(), POLLIN, 0};
    if (::poll(&watch, 1, 0) < 0)
        return false;
    return (watch.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

void QSerialLink::resumeReading()
{
    if (!m_port.isOpen())
        return;
    m_port.clearError();
    // A read with nothing buffered takes no byte but makes the port watch the line again.
    if (m_port.bytesAvailable() == 0) {
        char none;
        m_port.read(&none, 1);
    }
    scheduleCheck();
}

void QSerialLink::closeWithoutDrain()
{
    m_closeQueued = false;
    m_held.clear();
    if (!m_port.isOpen())
        return;
    m_port.close();
    if (!m_failureSeen && m_lostHandler)
        m_lostHandler();
}
