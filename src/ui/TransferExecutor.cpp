#include "TransferExecutor.h"

#include "MessagePresenter.h"
#include "TransferObserver.h"
#include "TransferWindow.h"
#include "core/MessageTitles.h"
#include "serial/SerialLink.h"

#include <QTimer>
#include <QWidget>
#include <algorithm>

namespace {
const QString kErrorTitle = MessageTitles::kError;
const QString kPortFailure = QStringLiteral("请检查端口连接是否正确！");
} // namespace

TransferExecutor::TransferExecutor(SerialLink &link, MessagePresenter &messages, QObject *parent)
    : QObject(parent), m_link(link), m_messages(messages)
{
    m_silence.setSingleShot(true);
    m_silence.setInterval(Transfer::kSilenceMs);
    connect(&m_silence, &QTimer::timeout, this, &TransferExecutor::silenceFell);
    m_progressTimer.setInterval(kProgressMs);
    connect(&m_progressTimer, &QTimer::timeout, this, &TransferExecutor::showProgress);
}

void TransferExecutor::setSilenceInterval(int milliseconds)
{
    m_silence.setInterval(milliseconds);
}

void TransferExecutor::silenceFell()
{
    if (!m_current || !m_current->awaitsInstrument())
        return;
    if (m_running || m_suspended || !m_arrived.isEmpty()) {
        // Bytes or a box are still being dealt with: the line has not been silent.
        m_silence.start();
        return;
    }
    enqueue(m_current->silence(), m_window, m_current.get());
    run();
}

TransferExecutor::~TransferExecutor() = default;

void TransferExecutor::begin(std::unique_ptr<Transfer> transfer, TransferWindow &window)
{
    Transfer *started = transfer.get();
    adopt(std::move(transfer), window);
    if (m_observer)
        m_observer->transferBegun(*started, true);
    enqueue(started->start(), &window, started);
    run();
}

void TransferExecutor::adopt(std::unique_ptr<Transfer> transfer, TransferWindow &window)
{
    // What the transfer before had not yet done is dropped with it: a pause or a wait for the port
    // that was still to end no longer resumes anything.
    ++m_generation;
    m_suspended = false;
    m_silence.stop();
    m_steps.clear();
    if (!m_running)
        m_ended.clear();
    if (m_current)
        m_ended.push_back(std::move(m_current));
    m_current = std::move(transfer);
    m_window = &window;
    m_rateClock.invalidate();
    m_lastDone = 0;
    if (m_observer) {
        m_observer->transferEnded();
        m_observer->transferBegun(*m_current, false);
    }
}

void TransferExecutor::perform(TransferActions actions, TransferWindow &window)
{
    enqueue(std::move(actions), &window, nullptr);
    run();
}

void TransferExecutor::enqueue(TransferActions actions, TransferWindow *window, Transfer *transfer)
{
    for (TransferAction &action : actions)
        m_steps.push_back({std::move(action), window, transfer});
}

void TransferExecutor::bytesArrived()
{
    const QByteArray bytes = m_link.readAll();
    if (m_observer && !bytes.isEmpty())
        m_observer->bytesArrived(bytes);
    m_arrived += bytes;
    if (m_running || m_suspended)
        return;
    m_inReceive = true;
    run();
    m_inReceive = false;
}

void TransferExecutor::run()
{
    if (m_running)
        return;
    m_running = true;
    while (!m_suspended) {
        if (m_steps.empty()) {
            if (m_arrived.isEmpty() || !m_current)
                break;
            const QByteArray bytes = std::exchange(m_arrived, {});
            if (m_current->stopped())
                continue;
            enqueue(m_current->feed(bytes), m_window, m_current.get());
            // An instrument that stops in the middle of a frame, or between the records of a file, is
            // noticed; every byte restarts the count.
            if (m_current->awaitsInstrument())
                m_silence.start();
            else
                m_silence.stop();
            continue;
        }
        const Step step = std::move(m_steps.front());
        m_steps.pop_front();
        perform(step);
    }
    m_running = false;
    watchProgress();
}

void TransferExecutor::suspend()
{
    m_suspended = true;
}

void TransferExecutor::resume(unsigned generation)
{
    if (generation != m_generation || !m_suspended)
        return;
    m_suspended = false;
    run();
}

void TransferExecutor::perform(const Step &step)
{
    const TransferAction &action = step.action;
    TransferWindow *window = step.window;
    switch (action.kind) {
    case TransferAction::Write:
        if (!m_link.write(action.bytes))
            portFailed(step);
        else if (m_observer && step.transfer)
            m_observer->bytesWritten(action.bytes);
        break;
    case TransferAction::ClearOutput:
        m_link.clearOutput();
        break;
    case TransferAction::ClearInput:
        m_link.clearInput();
        m_arrived.clear();
        break;
    case TransferAction::OpenPort:
        if (!m_link.openIfClosed())
            portFailed(step);
        break;
    case TransferAction::ClosePort: {
        suspend();
        const unsigned generation = m_generation;
        m_link.closeWhenWritten([this, generation] { resume(generation); });
        break;
    }
    case TransferAction::SetCommPort:
        m_link.setCommPort(action.number);
        break;
    case TransferAction::Pause: {
        suspend();
        const unsigned generation = m_generation;
        QTimer::singleShot(action.number, this, [this, generation] { resume(generation); });
        break;
    }
    case TransferAction::Show:
        // A transfer begun over a window that cannot show what it tells is a fault of the program:
        // the surveyor would miss what the instrument did.
        if (!window->showTransferEvent(action.event))
            qFatal("%s cannot show %s", qPrintable(window->transferWidget()->objectName()),
                   qPrintable(describe(action.event)));
        break;
    case TransferAction::ShowMessage:
        showBox(window, action.title, action.text, QString(), false);
        break;
    case TransferAction::ReportPortFailure:
        portFailed(step);
        break;
    case TransferAction::EndProgram:
        if (m_endProgram)
            m_endProgram();
        break;
    }
}

void TransferExecutor::dropStepsOf(const Transfer *transfer)
{
    m_steps.erase(std::remove_if(m_steps.begin(), m_steps.end(),
                                 [transfer](const Step &s) { return s.transfer == transfer; }),
                  m_steps.end());
}

void TransferExecutor::portFailed(const Step &step)
{
    // Nothing done before the failure is undone; nothing of the transfer after it is done.
    dropStepsOf(step.transfer);
    if (step.transfer)
        step.transfer->portFailed();
    showBox(step.window, kErrorTitle, kPortFailure, m_link.openFailureDetail(), true);
}

void TransferExecutor::showBox(TransferWindow *window, const QString &title, const QString &text,
                               const QString &detail, bool bringForward)
{
    auto present = [this, window, title, text, detail, bringForward] {
        QWidget *parent = window ? window->transferWidget() : nullptr;
        m_messages.showDetailedMessage(parent, title, text, detail);
        if (bringForward && window)
            window->bringWindowForward();
    };
    if (!m_inReceive) {
        present();
        return;
    }
    suspend();
    const unsigned generation = m_generation;
    QTimer::singleShot(0, this, [this, generation, present] {
        if (generation != m_generation)
            return;
        present();
        resume(generation);
    });
}

void TransferExecutor::portLost()
{
    // A cable pulled or a port gone in the middle of a transfer: what has arrived stays, and the
    // user is told once, over the window of the transfer. A port that goes away after the last frame
    // of a transfer is left to the next command that needs it.
    if (!m_current || !m_current->portLost())
        return;
    dropStepsOf(m_current.get());
    showBox(m_window, kErrorTitle, kPortFailure, QString(), false);
}

void TransferExecutor::stop()
{
    if (!m_current || !m_current->underway())
        return;
    // A pause, a close or a box of the transfer no longer resumes anything.
    ++m_generation;
    m_suspended = false;
    m_silence.stop();
    dropStepsOf(m_current.get());
    m_arrived.clear();
    enqueue(m_current->stop(), m_window, m_current.get());
    run();
}

void TransferExecutor::watchProgress()
{
    if (!m_current)
        return;
    const long done = m_current->progress().done;
    // A transfer started over on the instrument counts from its first record again.
    if (done < m_lastDone)
        m_rateClock.invalidate();
    if (!m_rateClock.isValid() && done >= 1) {
        m_rateClock.start();
        m_rateFirstDone = done;
    }
    m_lastDone = done;
    const bool shown = m_progressTimer.isActive();
    if (m_current->underway() != shown || m_window != m_progressWindow)
        showProgress();
}

void TransferExecutor::showProgress()
{
    TransferWindow *window = m_current && m_current->underway() ? m_window : nullptr;
    if (m_progressWindow && m_progressWindow != window)
        m_progressWindow->hideTransferProgress();
    m_progressWindow = window;
    if (!window) {
        m_progressTimer.stop();
        return;
    }
    if (!m_progressTimer.isActive())
        m_progressTimer.start();
    const TransferProgress progress = m_current->progress();
    const long measured = m_rateClock.isValid() ? progress.done - m_rateFirstDone : 0;
    const double seconds = m_rateClock.isValid() ? m_rateClock.elapsed() / 1000.0 : 0;
    const int bitsPerSecond = m_link.settings().section(u',', 0, 0).toInt();
    window->showTransferProgress(progress.done, progress.total,
                                 TimeLeftText(SecondsLeft(progress, seconds, measured, bitsPerSecond)));
}
