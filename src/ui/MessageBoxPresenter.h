#pragma once

#include "MessagePresenter.h"

// The program's message boxes: a QMessageBox with one OK button ("确定"), no icon; a question has
// the buttons "是" and "否".
class MessageBoxPresenter : public MessagePresenter {
public:
    void showMessage(QWidget *parent, const QString &title, const QString &text) override;
    // The detail is shown behind the box's details button.
    void showDetailedMessage(QWidget *parent, const QString &title, const QString &text,
                             const QString &detail) override;
    bool askYesNo(QWidget *parent, const QString &title, const QString &text) override;
};
