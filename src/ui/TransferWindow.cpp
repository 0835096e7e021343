#include "TransferWindow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>
#include <algorithm>

void TransferWindow::bringWindowForward()
{
    QWidget *window = transferWidget();
    window->show();
    window->raise();
    window->activateWindow();
}

namespace {
const QString kProgressBar = QStringLiteral("TransferProgress");
const QString kTimeLeft = QStringLiteral("TransferTimeLeft");
const QString kStop = QStringLiteral("StopTransfer");
} // namespace

void TransferWindow::showTransferProgress(long done, long total, const QString &timeLeft)
{
    QWidget *window = transferWidget();
    if (auto *bar = window->findChild<QProgressBar *>(kProgressBar)) {
        const bool counted = total < 0;
        const int maximum = static_cast<int>(counted ? std::max(done, 1L) : total);
        bar->setFormat(counted ? QStringLiteral("%v") : QStringLiteral("%v/%m"));
        bar->setRange(0, maximum);
        bar->setValue(static_cast<int>(std::min<long>(done, maximum)));
        bar->show();
    }
    if (auto *label = window->findChild<QLabel *>(kTimeLeft)) {
        label->setText(timeLeft);
        label->setVisible(!timeLeft.isEmpty());
    }
    if (auto *stop = window->findChild<QPushButton *>(kStop)) {
        stop->setEnabled(true);
        stop->show();
    }
}

void TransferWindow::hideTransferProgress()
{
    QWidget *window = transferWidget();
    for (const QString &name : {kProgressBar, kTimeLeft, kStop}) {
        if (QWidget *control = window->findChild<QWidget *>(name))
            control->hide();
    }
}

QHBoxLayout *TransferWindow::createTransferProgress(QWidget *parent)
{
    auto *bar = new QProgressBar(parent);
    bar->setObjectName(kProgressBar);
    auto *timeLeft = new QLabel(parent);
    timeLeft->setObjectName(kTimeLeft);
    auto *stop = new QPushButton(QStringLiteral("停止传输"), parent);
    stop->setObjectName(kStop);
    auto *row = new QHBoxLayout;
    row->addWidget(bar, 1);
    row->addWidget(timeLeft);
    row->addWidget(stop);
    for (QWidget *control :
         {static_cast<QWidget *>(bar), static_cast<QWidget *>(timeLeft), static_cast<QWidget *>(stop)})
        control->hide();
    return row;
}
