#pragma once

#include <QByteArray>
#include <QString>

// The serial port as the protocols use it. Every operation is one the protocols perform in a fixed,
// observable order; the production link sits on QSerialPort, tests use a recording fake.
class SerialLink {
public:
    virtual ~SerialLink() = default;
    virtual void clearOutput() = 0;                  // discard bytes not yet sent
    virtual void clearInput() = 0;                   // discard bytes received and not yet read
    virtual void setSendThreshold(int bytes) = 0;    // kept, not acted on
    virtual void setReceiveThreshold(int bytes) = 0; // 0: no receive events
    virtual int receiveThreshold() const = 0;
    virtual bool isOpen() const = 0;
    virtual bool open() = 0;                         // false: the port could not be opened
    virtual void close() = 0;                        // waits until written bytes have left
    virtual bool write(const QByteArray &bytes) = 0; // false: the port is closed or failed
    virtual int waitingCount() const = 0;            // held bytes included
    virtual QByteArray readAll() = 0;                // held bytes first
    // Hands back bytes that hold no whole frame yet: they wait in front of the bytes that arrive
    // next and are read together with them, so a frame that comes in pieces is taken whole.
    // clearInput() and close() discard them; they raise no receive event of their own.
    virtual void holdUnrouted(const QByteArray &bytes) = 0;
    // While held (calls nest), receive events wait: a modal message box runs a nested event loop,
    // and the instrument must not be answered behind the user's back while it is open.
    virtual void holdReceiveEvents(bool hold) { (void)hold; }
    virtual void setCommPort(int number) = 0; // COMn; only while the port is closed
    virtual int commPort() const = 0;
    virtual void setSettings(const QString &settings) = 0; // "1200,N,8,1"
    virtual QString settings() const = 0;

    // Opens the port if it is closed; true when it is open afterwards.
    bool openIfClosed() { return isOpen() || open(); }
};
