#pragma once

#include <QString>

class QWidget;

// Every message box of the program goes through here: one OK button, a title and a text, modal over
// parent, returning when the user has closed it. Window tests answer the boxes through a presenter
// of their own.
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    virtual void showMessage(QWidget *parent, const QString &title, const QString &text) = 0;
};
