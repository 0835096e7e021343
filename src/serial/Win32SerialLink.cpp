#include "Win32SerialLink.h"
#include "PortSettings.h"

#include <QStringList>
#include <QWinEventNotifier>

namespace {
// The line needs ten bit times per byte (start, 8 data, stop); written bytes are given this much
// time to leave, plus a margin, before the port is closed anyway.
constexpr int kBitsPerByte = 10;
constexpr int kDrainMarginMs = 2000;
// A read returns once bytes have come and the line has then been quiet this long. It waits for the
// first byte without end, and a read is always under way while the port is open.
constexpr DWORD kReadIntervalMs = 20;
// How often a close waiting for the driver to send its last bytes looks again.
constexpr int kDrainPollMs = 10;

QString portNumberName(int number)
{
    return QStringLiteral("\\\\.\\COM%1").arg(number);
}
} // namespace

Win32SerialLink::Win32SerialLink(const QString &, QObject *parent) : QObject(parent)
{
    m_readOverlapped.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_writeOverlapped.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_readNotifier = new QWinEventNotifier(m_readOverlapped.hEvent, this);
    m_writeNotifier = new QWinEventNotifier(m_writeOverlapped.hEvent, this);
    m_readNotifier->setEnabled(false);
    m_writeNotifier->setEnabled(false);
    connect(m_readNotifier, &QWinEventNotifier::activated, this, &Win32SerialLink::onReadDone);
    connect(m_writeNotifier, &QWinEventNotifier::activated, this, &Win32SerialLink::onWriteDone);
    m_drainDeadline.setSingleShot(true);
    connect(&m_drainDeadline, &QTimer::timeout, this, [this] {
        closeHandle();
        finishClose();
    });
    m_drainPoll.setSingleShot(true);
    m_drainPoll.setInterval(kDrainPollMs);
    connect(&m_drainPoll, &QTimer::timeout, this, &Win32SerialLink::closeIfDrained);
}

Win32SerialLink::~Win32SerialLink()
{
    m_drainDeadline.stop();
    m_drainPoll.stop();
    closeHandle();
    delete m_readNotifier;
    delete m_writeNotifier;
    ::CloseHandle(m_readOverlapped.hEvent);
    ::CloseHandle(m_writeOverlapped.hEvent);
}

QString Win32SerialLink::deviceName() const
{
    if (m_devicePath.isEmpty())
        return portNumberName(m_commPort);
    if (m_devicePath.startsWith(QLatin1String("\\\\")))
        return m_devicePath;
    return QStringLiteral("\\\\.\\") + m_devicePath;
}

QString Win32SerialLink::systemErrorText(DWORD error)
{
    wchar_t *buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
    QString text = length > 0 ? QString::fromWCharArray(buffer, int(length)).trimmed() : QString();
    if (buffer)
        ::LocalFree(buffer);
    if (text.isEmpty())
        text = QStringLiteral("错误 %1").arg(error);
    return text;
}

bool Win32SerialLink::open()
{
    if (isOpen())
        return true;
    m_openFailure.clear();
    const QString name = deviceName();
    HANDLE handle =
        ::CreateFileW(reinterpret_cast<const wchar_t *>(name.utf16()), GENERIC_READ | GENERIC_WRITE, 0,
                      nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    DWORD error = handle == INVALID_HANDLE_VALUE ? ::GetLastError() : ERROR_SUCCESS;
    if (handle != INVALID_HANDLE_VALUE) {
        m_handle = handle;
        // Reads wait for the first byte and return once the line is quiet; writes wait for nothing.
        COMMTIMEOUTS timeouts{kReadIntervalMs, 0, 0, 0, 0};
        if (!applyLineSettings() || !::SetCommTimeouts(m_handle, &timeouts))
            error = ::GetLastError();
        m_handle = INVALID_HANDLE_VALUE;
    }
    if (error != ERROR_SUCCESS) {
        if (handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(handle);
        QString text = QStringLiteral("设备：%1\n系统错误：%2").arg(name, systemErrorText(error));
        if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION)
            text += QStringLiteral("\n\n该串口正被其他程序使用，请关闭那个程序后再试。");
        m_openFailure = text;
        return false;
    }
    m_handle = handle;
    // Bytes that came while the port was closed are stale. The output is left alone: a driver may
    // still be sending the last bytes of the port's previous opening.
    ::PurgeComm(m_handle, PURGE_RXCLEAR);
    ++m_opening;
    m_lostQueued = false;
    m_failureSeen = false;
    m_received.clear();
    m_readNotifier->setEnabled(true);
    m_writeNotifier->setEnabled(true);
    startRead();
    return isOpen();
}

QString Win32SerialLink::openFailureDetail() const
{
    return isOpen() ? QString() : m_openFailure;
}

bool Win32SerialLink::applySettingsText(const QString &text, DCB *dcb)
{
    PortSettings::LineSettings line;
    if (!PortSettings::ParseSettings(text, &line))
        return false;
    // The parity's order is Windows' own (NOPARITY .. SPACEPARITY).
    static constexpr BYTE kStopBits[] = {ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS};
    const BYTE parity = BYTE(line.parity);
    const BYTE stopBits = kStopBits[line.stopBits];
    const int baud = line.baudRate, dataBits = line.dataBits;

    dcb->DCBlength = sizeof(DCB);
    dcb->BaudRate = DWORD(baud);
    dcb->ByteSize = BYTE(dataBits);
    dcb->Parity = BYTE(parity);
    dcb->StopBits = stopBits;
    dcb->fBinary = TRUE;
    dcb->fParity = parity != NOPARITY;
    // No flow control; the lines a cable may power itself from are raised, as on opening a port on Linux.
    dcb->fOutxCtsFlow = FALSE;
    dcb->fOutxDsrFlow = FALSE;
    dcb->fDtrControl = DTR_CONTROL_ENABLE;
    dcb->fRtsControl = RTS_CONTROL_ENABLE;
    dcb->fDsrSensitivity = FALSE;
    dcb->fOutX = FALSE;
    dcb->fInX = FALSE;
    dcb->fErrorChar = FALSE;
    dcb->fNull = FALSE;
    // A framing or parity error must not stop the port until the errors are cleared.
    dcb->fAbortOnError = FALSE;
    return true;
}

bool Win32SerialLink::applyLineSettings()
{
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    if (!::GetCommState(m_handle, &dcb))
        return false;
    applySettingsText(m_settings, &dcb);
    return ::SetCommState(m_handle, &dcb) != FALSE;
}

void Win32SerialLink::setSettings(const QString &settings)
{
    DCB check{};
    if (!applySettingsText(settings, &check))
        return;
    m_settings = settings;
    if (isOpen())
        applyLineSettings();
}

void Win32SerialLink::clearInput()
{
    if (!isOpen())
        return;
    ::PurgeComm(m_handle, PURGE_RXCLEAR);
    m_received.clear();
}

void Win32SerialLink::clearOutput()
{
    if (!isOpen())
        return;
    m_pending.clear();
    if (m_writing)
        ::CancelIoEx(m_handle, &m_writeOverlapped);
    ::PurgeComm(m_handle, PURGE_TXCLEAR);
}

QByteArray Win32SerialLink::readAll()
{
    return std::exchange(m_received, {});
}

bool Win32SerialLink::write(const QByteArray &bytes)
{
    if (!isOpen() || m_lostQueued)
        return false;
    m_pending += bytes;
    if (!m_writing)
        startWrite();
    if (!isOpen() || m_lostQueued) {
        m_failureSeen = true;
        return false;
    }
    return true;
}

void Win32SerialLink::startRead()
{
    m_reading = true;
    DWORD count = 0;
    // The event is set when the read completes, at once or later; its notifier takes it from there.
    if (!::ReadFile(m_handle, m_readBuffer, sizeof(m_readBuffer), &count, &m_readOverlapped) &&
        ::GetLastError() != ERROR_IO_PENDING) {
        m_reading = false;
        deviceFailed();
    }
}

void Win32SerialLink::onReadDone()
{
    ::ResetEvent(m_readOverlapped.hEvent);
    if (!m_reading || !isOpen())
        return;
    DWORD count = 0;
    if (!::GetOverlappedResult(m_handle, &m_readOverlapped, &count, FALSE)) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_IO_INCOMPLETE)
            return;
        m_reading = false;
        if (error != ERROR_OPERATION_ABORTED)
            deviceFailed();
        else
            startRead();
        return;
    }
    m_reading = false;
    m_received.append(m_readBuffer, qsizetype(count));
    startRead();
    if (count > 0)
        notifyReceived();
}

void Win32SerialLink::startWrite()
{
    if (m_pending.isEmpty() || !isOpen())
        return;
    m_inFlight = std::exchange(m_pending, {});
    m_writing = true;
    DWORD count = 0;
    if (!::WriteFile(m_handle, m_inFlight.constData(), DWORD(m_inFlight.size()), &count,
                     &m_writeOverlapped) &&
        ::GetLastError() != ERROR_IO_PENDING) {
        m_writing = false;
        m_inFlight.clear();
        deviceFailed();
    }
}

void Win32SerialLink::onWriteDone()
{
    ::ResetEvent(m_writeOverlapped.hEvent);
    if (!m_writing || !isOpen())
        return;
    DWORD count = 0;
    const bool done = ::GetOverlappedResult(m_handle, &m_writeOverlapped, &count, FALSE);
    const DWORD error = done ? ERROR_SUCCESS : ::GetLastError();
    if (error == ERROR_IO_INCOMPLETE)
        return;
    m_writing = false;
    if (!done && error != ERROR_OPERATION_ABORTED) {
        m_inFlight.clear();
        deviceFailed();
        return;
    }
    // What the system did not take goes again, ahead of what was written since.
    if (done && count < DWORD(m_inFlight.size()))
        m_pending.prepend(m_inFlight.mid(qsizetype(count)));
    m_inFlight.clear();
    startWrite();
    closeIfDrained();
}

void Win32SerialLink::deviceFailed()
{
    // The device has gone away (cable pulled): the port is closed once the current call has
    // returned, so that the next operation that opens it reports it.
    if (m_lostQueued)
        return;
    m_lostQueued = true;
    const quint64 opening = m_opening;
    QMetaObject::invokeMethod(
        this,
        [this, opening] {
            // A port closed and opened again in the meantime is another opening: it has not failed.
            if (opening == m_opening)
                closeWithoutDrain();
        },
        Qt::QueuedConnection);
}

void Win32SerialLink::closeWithoutDrain()
{
    m_lostQueued = false;
    if (!isOpen())
        return;
    m_drainDeadline.stop();
    closeHandle();
    finishClose();
    if (!m_failureSeen)
        notifyLost();
}

void Win32SerialLink::closeWhenWritten(std::function<void()> closed)
{
    if (closed)
        m_whenClosed.push_back(std::move(closed));
    if (!isOpen()) {
        finishClose();
        return;
    }
    // Bytes handed to write() must reach the instrument: the last record of a send is written just
    // before the port is closed.
    if (!m_closeWaiting) {
        DCB dcb{};
        dcb.DCBlength = sizeof(DCB);
        const DWORD baud = ::GetCommState(m_handle, &dcb) && dcb.BaudRate > 0 ? dcb.BaudRate : 1200;
        m_closeWaiting = true;
        m_drainDeadline.start(int(bytesNotSent() * kBitsPerByte * 1000 / baud + kDrainMarginMs));
    }
    closeIfDrained();
}

qint64 Win32SerialLink::bytesNotSent() const
{
    qint64 queued = 0;
    DWORD errors = 0;
    COMSTAT status{};
    if (isOpen() && ::ClearCommError(m_handle, &errors, &status))
        queued = status.cbOutQue;
    return m_pending.size() + m_inFlight.size() + queued;
}

void Win32SerialLink::closeIfDrained()
{
    if (!m_closeWaiting || m_writing || !m_pending.isEmpty())
        return;
    // A finished write has handed its bytes to the driver, which may still be sending them.
    if (bytesNotSent() > 0) {
        m_drainPoll.start();
        return;
    }
    m_drainDeadline.stop();
    closeHandle();
    finishClose();
}

void Win32SerialLink::closeHandle()
{
    m_closeWaiting = false;
    m_drainPoll.stop();
    if (!isOpen())
        return;
    m_readNotifier->setEnabled(false);
    m_writeNotifier->setEnabled(false);
    // The buffers of the operations under way must outlive them: they are cancelled, and their end
    // (which follows the cancelling at once) is taken before the port goes.
    if (m_reading || m_writing)
        ::CancelIoEx(m_handle, nullptr);
    DWORD count = 0;
    if (m_reading)
        ::GetOverlappedResult(m_handle, &m_readOverlapped, &count, TRUE);
    if (m_writing)
        ::GetOverlappedResult(m_handle, &m_writeOverlapped, &count, TRUE);
    m_reading = false;
    m_writing = false;
    ::ResetEvent(m_readOverlapped.hEvent);
    ::ResetEvent(m_writeOverlapped.hEvent);
    ::CloseHandle(m_handle);
    m_handle = INVALID_HANDLE_VALUE;
    m_pending.clear();
    m_inFlight.clear();
    m_received.clear();
}

void Win32SerialLink::finishClose()
{
    const auto callbacks = std::exchange(m_whenClosed, {});
    for (const auto &closed : callbacks)
        closed();
}
