#include "FilteredLineEdit.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>

namespace {
constexpr char16_t kEnter = 13;
constexpr char16_t kBackspace = 8;
} // namespace

FilteredLineEdit::FilteredLineEdit(Filter filter, QWidget *parent) : QLineEdit(parent), m_filter(filter)
{
    if (m_filter != Filter::None) {
        setAcceptDrops(false);
        setDragEnabled(false);
    }
}

FilteredLineEdit::KeyDecision FilteredLineEdit::decide(Filter filter, QChar key, const QString &text,
                                                       int caret)
{
    if (filter == Filter::None)
        return KeyDecision::Accept;
    const char16_t c = key.unicode();
    if (c == kEnter)
        return KeyDecision::Accept;
    if (c == u'-')
        return caret == 0 && !text.startsWith(u'-') ? KeyDecision::Accept : KeyDecision::Reject;
    if (c == kBackspace)
        return KeyDecision::Accept;
    if (c == u' ')
        return KeyDecision::RejectDeletingSelection;
    if (c == u'.') {
        if (filter == Filter::PointNumber)
            return KeyDecision::Reject;
        return text.isEmpty() || !text.contains(u'.') ? KeyDecision::Accept : KeyDecision::Reject;
    }
    if (c < u'0' || c > u'9')
        return KeyDecision::Reject;
    return KeyDecision::Accept;
}

void FilteredLineEdit::insertFiltered(const QString &text)
{
    if (m_filter == Filter::None) {
        insert(text);
        return;
    }
    if (hasSelectedText())
        del();
    for (QChar character : text) {
        // Line breaks cannot stand in a single-line field; every other character is judged like a key.
        if (character == u'\r' || character == u'\n')
            continue;
        if (decide(m_filter, character, this->text(), cursorPosition()) == KeyDecision::Accept &&
            character.unicode() != kBackspace)
            insert(QString(character));
    }
}

void FilteredLineEdit::keyPressEvent(QKeyEvent *event)
{
    if (m_filter == Filter::None) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        if (!isReadOnly())
            insertFiltered(QGuiApplication::clipboard()->text(QClipboard::Clipboard));
        event->accept();
        return;
    }
    const QString typed = event->text();
    // Only keys that would insert a character are judged; editing and navigation keys, and control
    // keys that insert nothing, behave as usual.
    if (typed.size() == 1 && typed.at(0).isPrint()) {
        // A key typed over a selection replaces it, so it is judged against the text without the
        // selection, at the selection's start: Tab into "0.0000" selects it all, and "-" or "." then
        // begins a new value.
        QString remaining = text();
        int caret = cursorPosition();
        if (hasSelectedText()) {
            caret = selectionStart();
            remaining.remove(caret, selectionLength());
        }
        switch (decide(m_filter, typed.at(0), remaining, caret)) {
        case KeyDecision::Accept:
            break;
        case KeyDecision::RejectDeletingSelection:
            if (hasSelectedText())
                del();
            event->accept();
            return;
        case KeyDecision::Reject:
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void FilteredLineEdit::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu();
    if (m_filter != Filter::None) {
        if (QAction *paste = menu->findChild<QAction *>(QStringLiteral("edit-paste"))) {
            disconnect(paste, &QAction::triggered, nullptr, nullptr);
            connect(paste, &QAction::triggered, this,
                    [this] { insertFiltered(QGuiApplication::clipboard()->text(QClipboard::Clipboard)); });
        }
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void FilteredLineEdit::mouseReleaseEvent(QMouseEvent *event)
{
    const QClipboard *clipboard = QGuiApplication::clipboard();
    if (m_filter != Filter::None && event->button() == Qt::MiddleButton && clipboard->supportsSelection()) {
        if (!isReadOnly()) {
            deselect();
            insertFiltered(clipboard->text(QClipboard::Selection));
        }
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void FilteredLineEdit::inputMethodEvent(QInputMethodEvent *event)
{
    if (m_filter == Filter::None) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    // Composed text is taken only once committed, and then judged like typed keys.
    if (!event->commitString().isEmpty())
        insertFiltered(event->commitString());
    event->accept();
}
