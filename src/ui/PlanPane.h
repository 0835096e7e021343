#pragma once

#include <QDockWidget>

class PlanView;
class QMainWindow;

// The plan view as a pane docked beside a window's list, hidden at first; its checkable action
// ShowPlanView "点位图" shows and hides it and is checked while it shows.
class PlanPane : public QDockWidget {
    Q_OBJECT
public:
    explicit PlanPane(QMainWindow *window);

    PlanView *view() const { return m_view; }
    QAction *showAction() const { return toggleViewAction(); }

private:
    PlanView *m_view;
};
