#pragma once

#include <QLineEdit>

// A text box whose typed keys pass a filter before anything is inserted, as the point editor's
// number and coordinate fields need. Pasted, dropped and input-method text goes through the same
// filter, character by character, as if it had been typed.
class FilteredLineEdit : public QLineEdit {
    Q_OBJECT
public:
    enum class Filter { None, PointNumber, Coordinate };
    enum class KeyDecision { Accept, Reject, RejectDeletingSelection };

    explicit FilteredLineEdit(Filter filter, QWidget *parent = nullptr);

    Filter filter() const { return m_filter; }

    // What a key press of character key does to a field holding text with the caret at caret.
    static KeyDecision decide(Filter filter, QChar key, const QString &text, int caret);

    // Inserts text at the caret (replacing the selection) as if each character were typed.
    void insertFiltered(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    Filter m_filter;
};
