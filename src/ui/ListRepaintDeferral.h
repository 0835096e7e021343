#pragma once

#include <QObject>
#include <QTimer>

class QAbstractItemView;

// Over a fast line a record arrives every few milliseconds, and repainting a list for each one
// costs more than handling the record. Rows inserted into the list's model are shown at most
// kDelayMs later, which the eye cannot tell from at once, so a burst costs one repaint per interval.
class ListRepaintDeferral : public QObject {
    Q_OBJECT
public:
    static constexpr int kDelayMs = 40;

    // Watches the rows inserted into the view's model (set before).
    explicit ListRepaintDeferral(QAbstractItemView *view);

private:
    void defer();

    QAbstractItemView *m_view;
    QTimer m_timer;
};
