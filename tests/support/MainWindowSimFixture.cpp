#include "MainWindowSimFixture.h"

#include "ui/Form1.h"
#include "ui/Form6.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>

#include <iostream>

bool MainWindowSimFixture::startProgram(bool rqx5, bool nez, const QStringList &simArgs)
{
    m_nez = nez;
    if (!sim.start(
            QStringList{QStringLiteral("--series"), rqx5 ? QStringLiteral("rqx5") : QStringLiteral("rqx2")} +
            simArgs))
        return false;
    app = std::make_unique<Application>(
        sim.deviceDir(), messages, [this] { ended = true; }, nullptr, fileDialogs);
    app->usePort(sim.portName());
    app->start();
    Form6 *selection = app->selectionDialog();
    selection->findChild<QRadioButton *>(rqx5 ? "Option4" : "Option3")->setChecked(true);
    selection->findChild<QRadioButton *>(nez ? "Option1" : "Option2")->setChecked(true);
    app->ConfirmSelection();
    messages.messages.clear();
    return app->mainWindow() && app->mainWindow()->isVisible();
}

void MainWindowSimFixture::finish(int exitCode)
{
    ASSERT_TRUE(sim.waitForFinished(20000)) << sim.errorOutput().toStdString();
    EXPECT_EQ(sim.exitCode(), exitCode) << sim.errorOutput().toStdString();
}

QString MainWindowSimFixture::text(const char *name) const
{
    if (auto *edit = app->mainWindow()->findChild<QLineEdit *>(name))
        return edit->text();
    return app->mainWindow()->findChild<QLabel *>(name)->text();
}

void MainWindowSimFixture::addRow(const TestPoint &p)
{
    appendPoint(app->table(), m_nez, p);
}

void MainWindowSimFixture::TearDown()
{
    if (!HasFailure())
        return;
    const QRegularExpressionMatch seed =
        QRegularExpression(QStringLiteral("--split-seed (\\d+)")).match(sim.errorOutput());
    if (seed.hasMatch())
        std::cerr << "The simulator's pieces repeat with RQXSIM_SPLIT_SEED=" << seed.captured(1).toStdString()
                  << '\n';
    const QRegularExpressionMatch faultSeed =
        QRegularExpression(QStringLiteral("--fault-seed (\\d+)")).match(sim.errorOutput());
    if (faultSeed.hasMatch())
        std::cerr << "The simulator's fault repeats with RQXSIM_FAULT_SEED="
                  << faultSeed.captured(1).toStdString() << '\n';
}
