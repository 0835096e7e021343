#include "TransferWindow.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QWidget>

void TransferWindow::selectTransferOption(const QString &name)
{
    if (auto *option = transferWidget()->findChild<QRadioButton *>(name))
        option->setChecked(true);
}

void TransferWindow::bringWindowForward()
{
    QWidget *window = transferWidget();
    window->show();
    window->raise();
    window->activateWindow();
}

void TransferWindow::setControlText(const QString &name, const QString &text)
{
    QWidget *control = transferWidget()->findChild<QWidget *>(name);
    if (auto *label = qobject_cast<QLabel *>(control))
        label->setText(text);
    else if (auto *box = qobject_cast<QLineEdit *>(control))
        box->setText(text);
    else if (auto *button = qobject_cast<QAbstractButton *>(control))
        button->setText(text);
}

void TransferWindow::setControlShown(const QString &name, bool shown)
{
    if (QWidget *control = transferWidget()->findChild<QWidget *>(name))
        control->setVisible(shown);
}
