#pragma once

#include <QObject>
#include <QTimer>

class QAbstractItemModel;
class QAbstractItemView;

// Over a fast line a record arrives every few milliseconds, and repainting a list for each one
// costs more than handling the record. While rows are being appended the list is repainted at most
// once per interval: new rows are shown at most that much later, which the eye cannot tell from at
// once, and a burst costs one repaint per interval.
class DeferredListRepaint : public QObject {
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 40;

    DeferredListRepaint(QAbstractItemView *view, QAbstractItemModel *model);

private:
    void defer();

    QAbstractItemView *m_view;
    QTimer m_timer;
};
