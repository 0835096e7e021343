#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// The serial port as the program uses it: a transport of raw bytes that knows nothing of what they
// mean. The production links sit on QSerialPort (Linux) and the Win32 communications API (Windows);
// tests use a recording fake. No operation waits: what takes time (bytes arriving, written bytes
// leaving, the device going away) is told through the handlers.
class SerialLink {
public:
    virtual ~SerialLink() = default;
    virtual void clearOutput() = 0; // discard bytes not yet sent
    virtual void clearInput() = 0;  // discard bytes received and not yet read
    virtual bool isOpen() const = 0;
    virtual bool open() = 0; // false: the port could not be opened
    // Closes the port once the bytes written have left (at once when none wait), then calls closed.
    virtual void closeWhenWritten(std::function<void()> closed) = 0;
    virtual bool write(const QByteArray &bytes) = 0; // false: the port is closed or failed
    virtual QByteArray readAll() = 0;                // every byte received and not yet read
    virtual void setCommPort(int number) = 0;        // COMn; only while the port is closed
    virtual int commPort() const = 0;
    virtual void setSettings(const QString &settings) = 0; // "1200,N,8,1"
    virtual QString settings() const = 0;
    // Why the last open failed, as the system told it (empty when it told nothing).
    virtual QString openFailureDetail() const { return {}; }

    // Called whenever bytes have arrived (readAll() takes them), and once when the open port's device
    // goes away by itself (cable pulled, the other end hung up).
    void setReceiveHandler(std::function<void()> handler) { m_received = std::move(handler); }
    void setLostHandler(std::function<void()> handler) { m_lost = std::move(handler); }

    // Opens the port if it is closed; true when it is open afterwards.
    bool openIfClosed() { return isOpen() || open(); }

protected:
    void notifyReceived()
    {
        if (m_received)
            m_received();
    }
    void notifyLost()
    {
        if (m_lost)
            m_lost();
    }

private:
    std::function<void()> m_received;
    std::function<void()> m_lost;
};
