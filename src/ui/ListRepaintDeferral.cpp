#include "ListRepaintDeferral.h"

#include <QAbstractItemView>

ListRepaintDeferral::ListRepaintDeferral(QAbstractItemView *view) : QObject(view), m_view(view)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(kDelayMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { m_view->setUpdatesEnabled(true); });
    connect(view->model(), &QAbstractItemModel::rowsInserted, this, &ListRepaintDeferral::defer);
}

void ListRepaintDeferral::defer()
{
    if (m_timer.isActive())
        return;
    m_view->setUpdatesEnabled(false);
    m_timer.start();
}
