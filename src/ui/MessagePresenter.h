#pragma once

#include <QString>

class QWidget;

// Every message box of the program goes through here: one OK button, a title and a text, modal over
// parent, returning when the user has closed it; or a question answered 是 or 否 before something is
// thrown away. Window tests answer the boxes through a presenter of their own.
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    virtual void showMessage(QWidget *parent, const QString &title, const QString &text) = 0;
    // The same with a detailed text the user can unfold (why it happened, what to do about it); an
    // empty detail adds nothing. A presenter without such a part shows the detail below the text.
    virtual void showDetailedMessage(QWidget *parent, const QString &title, const QString &text,
                                     const QString &detail)
    {
        showMessage(parent, title, detail.isEmpty() ? text : text + QStringLiteral("\n\n") + detail);
    }
    // A question with the buttons 是 and 否, 否 the default: true when the user answered 是. A
    // presenter that cannot ask shows the text and answers 否, so that nothing is thrown away.
    virtual bool askYesNo(QWidget *parent, const QString &title, const QString &text)
    {
        showMessage(parent, title, text);
        return false;
    }
};
