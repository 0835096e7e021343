#include "DeferredListRepaint.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>

DeferredListRepaint::DeferredListRepaint(QAbstractItemView *view, QAbstractItemModel *model)
    : QObject(view), m_view(view)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { m_view->setUpdatesEnabled(true); });
    connect(model, &QAbstractItemModel::rowsInserted, this, &DeferredListRepaint::defer);
}

void DeferredListRepaint::defer()
{
    if (m_timer.isActive())
        return;
    m_view->setUpdatesEnabled(false);
    m_timer.start();
}
