#include "BenchProgram.h"

#include "rqx2/Rqx2Protocol.h"
#include "serial/QSerialLink.h"
#include "serial/ReceiveDispatcher.h"
#include "ui/Application.h"
#include "ui/Form1.h"
#include "ui/Form6.h"

#include <QRadioButton>

BenchProgram::BenchProgram() = default;
BenchProgram::~BenchProgram() = default;

bool BenchProgram::start(const QString &deviceDir, BenchSeries series)
{
    app = std::make_unique<Application>(deviceDir, messages, [] {});
    app->start();
    const QString option =
        series == BenchSeries::Rqx2 ? QStringLiteral("Option3") : QStringLiteral("Option4");
    app->selectionDialog()->findChild<QRadioButton *>(option)->setChecked(true);
    app->ConfirmSelection();
    auto *link = dynamic_cast<QSerialLink *>(&app->link());
    if (!link || !app->mainWindow()->isVisible())
        return false;
    if (series == BenchSeries::Rqx2)
        app->rqx2().setSendPause(std::chrono::milliseconds(0));
    link->setReceiveHandler([this] {
        const auto begin = std::chrono::steady_clock::now();
        app->dispatcher().OnReceiveEvent();
        handlerTime += std::chrono::steady_clock::now() - begin;
    });
    return true;
}
