#include "MessageBoxPresenter.h"

#include <QMessageBox>
#include <QPushButton>

void MessageBoxPresenter::showMessage(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.exec();
}
