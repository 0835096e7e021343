#pragma once

#include "core/Transfer.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>

class MessagePresenter;
class SerialLink;
class TransferObserver;
class TransferWindow;

// Performs the actions of the transfer in progress, one after another, on the port and on the
// window the transfer reports to, and feeds it the bytes that arrive. A message box is shown after
// the port's handler has returned, and the actions behind it wait until it is closed, as do those
// behind a pause or a close that waits for the written bytes; bytes that arrive meanwhile queue and
// are fed once the actions before them are done. Nothing here waits: the window stays alive.
class TransferExecutor : public QObject {
    Q_OBJECT
public:
    TransferExecutor(SerialLink &link, MessagePresenter &messages, QObject *parent = nullptr);
    ~TransferExecutor() override;

    void setEndProgram(std::function<void()> end) { m_endProgram = std::move(end); }
    // Told of every transfer begun or adopted and of the bytes written and read for it (the session
    // log); null for none.
    void setObserver(TransferObserver *observer) { m_observer = observer; }

    // The transfer becomes the one the bytes go to, and its start is performed over window. The
    // transfer before it ends there, with whatever of its actions had not yet been performed.
    void begin(std::unique_ptr<Transfer> transfer, TransferWindow &window);
    // The same without a start: the instrument begins the exchange on its own.
    void adopt(std::unique_ptr<Transfer> transfer, TransferWindow &window);
    // Actions of a command that starts no transfer.
    void perform(TransferActions actions, TransferWindow &window);

    Transfer *current() const { return m_current.get(); }
    TransferWindow *currentWindow() const { return m_window; }
    // Nothing is waiting to be performed or fed.
    bool idle() const { return m_steps.empty() && m_arrived.isEmpty() && !m_suspended; }

    // The user stops the transfer under way: what it had still to do is dropped, nothing more is
    // sent or taken, and the user is told how far it came.
    void stop();

    // How long the instrument may be silent while it owes bytes (Transfer::kSilenceMs; tests shorten
    // it).
    void setSilenceInterval(int milliseconds);

    // The link's handlers.
    void bytesArrived();
    void portLost();

private:
    struct Step {
        TransferAction action;
        TransferWindow *window;
        Transfer *transfer;
    };

    void enqueue(TransferActions actions, TransferWindow *window, Transfer *transfer);
    void run();
    void perform(const Step &step);
    void suspend();
    void resume(unsigned generation);
    void portFailed(const Step &step);
    void dropStepsOf(const Transfer *transfer);
    void silenceFell();
    // A box over window; while the port's handler runs it is deferred until the handler has
    // returned, and the actions behind it wait for it.
    void showBox(TransferWindow *window, const QString &title, const QString &text, const QString &detail,
                 bool bringForward);

    // The progress of the transfer under way shown on its window, at most every kProgressMs: the
    // window stays alive at any line speed. Hidden once no transfer runs.
    void watchProgress();
    void showProgress();

    static constexpr int kProgressMs = 100;

    SerialLink &m_link;
    MessagePresenter &m_messages;
    std::function<void()> m_endProgram;
    TransferObserver *m_observer = nullptr;
    std::unique_ptr<Transfer> m_current;
    std::vector<std::unique_ptr<Transfer>> m_ended; // kept until their steps are gone
    TransferWindow *m_window = nullptr;
    std::deque<Step> m_steps;
    QByteArray m_arrived;
    bool m_running = false;
    bool m_suspended = false;
    bool m_inReceive = false;
    unsigned m_generation = 0;
    QTimer m_silence;
    QTimer m_progressTimer;
    TransferWindow *m_progressWindow = nullptr;
    // From the first record seen of the transfer: the rate its time left is measured by.
    QElapsedTimer m_rateClock;
    long m_rateFirstDone = 0;
    long m_lastDone = 0;
};
