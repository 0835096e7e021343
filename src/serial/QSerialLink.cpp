#include "QSerialLink.h"

#include "DeviceList.h"

#include <QDateTime>
#include <QStringList>

#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>

namespace {
// The line needs ten bit times per byte (start, 8 data, stop); written bytes are given this much
// time to leave, plus a margin, before the port is closed anyway.
constexpr int kBitsPerByte = 10;
constexpr int kDrainMarginMs = 2000;
// How often the system's output queue is looked at while a close waits for it.
constexpr int kDrainPollMs = 5;
} // namespace

QSerialLink::QSerialLink(const QString &deviceDir, QObject *parent) : QObject(parent), m_deviceDir(deviceDir)
{
    PortSettings::ParseSettings(m_settings, &m_line);
    connect(&m_port, &QSerialPort::readyRead, this, [this] { notifyReceived(); });
    connect(&m_port, &QSerialPort::errorOccurred, this, &QSerialLink::onError);
    connect(&m_port, &QSerialPort::bytesWritten, this, [this] {
        if (!m_whenClosed.empty())
            checkDrained();
    });
    m_drainTimer.setInterval(kDrainPollMs);
    connect(&m_drainTimer, &QTimer::timeout, this, &QSerialLink::checkDrained);
}

QSerialLink::~QSerialLink()
{
    m_drainTimer.stop();
    if (m_port.isOpen())
        m_port.close();
}

void QSerialLink::clearOutput()
{
    if (m_port.isOpen())
        m_port.clear(QSerialPort::Output);
}

void QSerialLink::clearInput()
{
    if (m_port.isOpen())
        m_port.clear(QSerialPort::Input);
}

bool QSerialLink::isOpen() const
{
    return m_port.isOpen();
}

bool QSerialLink::open()
{
    if (m_port.isOpen())
        return true;
    m_openFailure = {};
    const QString path = m_devicePath.isEmpty() ? DevicePathForPort(m_deviceDir, m_commPort) : m_devicePath;
    if (path.isEmpty())
        return false;
    m_port.setPortName(path);
    // Set before opening, the line comes up with its settings at once rather than after a moment
    // at the port's defaults.
    applySettings();
    m_failureSeen = false;
    if (m_port.open(QIODevice::ReadWrite))
        return true;
    m_openFailure = PortOpenFailure::observe(path, m_port.error(), m_port.errorString());
    return false;
}

QString QSerialLink::openFailureDetail() const
{
    return m_port.isOpen() ? QString() : PortFailureDetail(m_openFailure);
}

qint64 QSerialLink::bytesNotSent() const
{
    if (!m_port.isOpen())
        return 0;
    int queued = 0;
    if (::ioctl(m_port.handle(), TIOCOUTQ, &queued) != 0)
        queued = 0;
    return m_port.bytesToWrite() + queued;
}

void QSerialLink::closeWhenWritten(std::function<void()> closed)
{
    if (closed)
        m_whenClosed.push_back(std::move(closed));
    if (!m_port.isOpen()) {
        finishClose();
        return;
    }
    // Bytes handed to write() must reach the instrument: the last record of a send is written just
    // before the port is closed.
    if (!m_drainTimer.isActive()) {
        const qint64 budgetMs =
            bytesNotSent() * kBitsPerByte * 1000 / qMax(m_line.baudRate, 1) + kDrainMarginMs;
        m_drainDeadline = QDateTime::currentMSecsSinceEpoch() + budgetMs;
        m_drainTimer.start();
    }
    checkDrained();
}

void QSerialLink::checkDrained()
{
    if (m_port.isOpen() && bytesNotSent() > 0 && QDateTime::currentMSecsSinceEpoch() < m_drainDeadline)
        return;
    m_drainTimer.stop();
    if (m_port.isOpen())
        m_port.close();
    finishClose();
}

void QSerialLink::finishClose()
{
    const auto callbacks = std::exchange(m_whenClosed, {});
    for (const auto &closed : callbacks)
        closed();
}

bool QSerialLink::write(const QByteArray &bytes)
{
    if (!m_port.isOpen())
        return false;
    if (m_port.write(bytes) != bytes.size()) {
        m_failureSeen = true;
        return false;
    }
    // Send now rather than at the next turn of the event loop: the answer is due as soon as it is built.
    m_port.flush();
    return true;
}

QByteArray QSerialLink::readAll()
{
    if (!m_port.isOpen())
        return {};
    return m_port.readAll();
}

void QSerialLink::setCommPort(int number)
{
    m_commPort = number;
}

void QSerialLink::setSettings(const QString &settings)
{
    PortSettings::LineSettings parsed;
    if (!PortSettings::ParseSettings(settings, &parsed))
        return;
    m_settings = settings;
    m_line = parsed;
    if (m_port.isOpen())
        applySettings();
}

void QSerialLink::applySettings()
{
    m_port.setBaudRate(m_line.baudRate);
    static constexpr QSerialPort::Parity kParities[] = {QSerialPort::NoParity, QSerialPort::OddParity,
                                                        QSerialPort::EvenParity, QSerialPort::MarkParity,
                                                        QSerialPort::SpaceParity};
    static constexpr QSerialPort::StopBits kStopBits[] = {QSerialPort::OneStop, QSerialPort::OneAndHalfStop,
                                                          QSerialPort::TwoStop};
    m_port.setParity(kParities[m_line.parity]);
    m_port.setDataBits(static_cast<QSerialPort::DataBits>(m_line.dataBits));
    m_port.setStopBits(kStopBits[m_line.stopBits]);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
}

void QSerialLink::onError(QSerialPort::SerialPortError error)
{
    // Line errors (framing, parity, overrun, ...) are ignored. A device that has gone away (cable
    // pulled, the other end of the line hung up) keeps reporting itself readable and failing; it is
    // closed, after the port's own call has returned, so the next operation that opens it reports it.
    if (error == QSerialPort::NoError || m_closeQueued || !m_port.isOpen())
        return;
    if (!deviceGone()) {
        // A read notification whose bytes were already taken reads nothing; the port reports that as
        // a resource error and stops watching the line. The device is still there: watch it again.
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
    if (m_port.bytesAvailable() > 0)
        notifyReceived();
}

void QSerialLink::closeWithoutDrain()
{
    m_closeQueued = false;
    if (!m_port.isOpen())
        return;
    m_drainTimer.stop();
    m_port.close();
    finishClose();
    if (!m_failureSeen)
        notifyLost();
}
