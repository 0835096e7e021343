#include "PlanPane.h"

#include "PlanView.h"

#include <QAction>
#include <QMainWindow>

PlanPane::PlanPane(QMainWindow *window)
    : QDockWidget(QStringLiteral("点位图"), window), m_view(new PlanView(this))
{
    setObjectName(QStringLiteral("PlanViewPane"));
    setWidget(m_view);
    window->addDockWidget(Qt::RightDockWidgetArea, this);
    hide();
    toggleViewAction()->setObjectName(QStringLiteral("ShowPlanView"));
}
