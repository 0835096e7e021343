#include "BenchProgram.h"

#include "rqx2/Rqx2CoordinateSend.h"
#include "serial/QSerialLink.h"
#include "ui/Application.h"
#include "ui/Form1.h"
#include "ui/Form6.h"
#include "ui/TransferExecutor.h"

#include <QAction>
#include <QRadioButton>
#include <algorithm>

BenchProgram::BenchProgram()
{
    m_probe.setInterval(1);
    QObject::connect(&m_probe, &QTimer::timeout, [this] {
        longestLoopGapMs = std::max(longestLoopGapMs, m_sinceTurn.nsecsElapsed() / 1e6);
        m_sinceTurn.restart();
    });
}

BenchProgram::~BenchProgram() = default;

bool BenchProgram::start(const QString &deviceDir, BenchSeries chosen)
{
    series = chosen;
    app = std::make_unique<Application>(deviceDir, messages, [] {});
    app->start();
    const QString option =
        series == BenchSeries::Rqx2 ? QStringLiteral("Option3") : QStringLiteral("Option4");
    app->selectionDialog()->findChild<QRadioButton *>(option)->setChecked(true);
    app->ConfirmSelection();
    auto *link = dynamic_cast<QSerialLink *>(&app->link());
    if (!link || !app->mainWindow()->isVisible())
        return false;
    // The handler the program installs, timed.
    TransferExecutor &executor = app->executor();
    link->setReceiveHandler([this, &executor] {
        const auto begin = std::chrono::steady_clock::now();
        executor.bytesArrived();
        const auto spent = std::chrono::steady_clock::now() - begin;
        handlerTime += spent;
        longestHandler = std::max<std::chrono::nanoseconds>(longestHandler, spent);
    });
    return true;
}

void BenchProgram::sendWithoutPause()
{
    if (series == BenchSeries::Rqx5) {
        app->mainWindow()->action(QStringLiteral("SendZB"))->trigger();
        return;
    }
    auto send = std::make_unique<Rqx2CoordinateSend>(app->table(), true);
    send->setSendPause(0);
    app->executor().begin(std::move(send), *app->mainWindow());
}

void BenchProgram::startProbe()
{
    longestLoopGapMs = 0;
    m_sinceTurn.start();
    m_probe.start();
}

void BenchProgram::stopProbe()
{
    m_probe.stop();
}
