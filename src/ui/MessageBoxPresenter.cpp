#include "MessageBoxPresenter.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTextEdit>

namespace {
// The detail holds device paths and a command: a pane this large shows it whole.
constexpr int kDetailWidthChars = 64;
constexpr int kDetailHeightLines = 9;
} // namespace

void MessageBoxPresenter::showMessage(QWidget *parent, const QString &title, const QString &text)
{
    showDetailedMessage(parent, title, text, QString());
}

void MessageBoxPresenter::showDetailedMessage(QWidget *parent, const QString &title, const QString &text,
                                              const QString &detail)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.setDetailedText(detail);
    if (auto *pane = box.findChild<QTextEdit *>()) {
        pane->setMinimumWidth(pane->fontMetrics().averageCharWidth() * kDetailWidthChars);
        pane->setFixedHeight(pane->fontMetrics().lineSpacing() * kDetailHeightLines);
    }
    box.exec();
}

bool MessageBoxPresenter::askYesNo(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否"));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}
