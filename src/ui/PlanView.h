#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

class QAbstractItemModel;
class QItemSelectionModel;
class QPushButton;

// 点位图: the points of a list drawn in plan, E to the right and N up at one scale for both, each
// with its point number once few enough are in sight to read. The view follows its list: when rows
// arrive, change or go, it takes them up and fits every point into the pane again, at most ten times
// a second however fast they come. The wheel zooms about the cursor, dragging pans, 适合窗口 fits
// again. The row selected in the list is the highlighted point, and clicking a point selects its row.
//
// The points are kept on a grid of cells over their extent, so that a frame looks only at the cells
// in sight and draws each pixel once, however many points fall on it.
class PlanView : public QWidget {
    Q_OBJECT
public:
    // Where a list's row stands in plan and its point number; position is false for a row without
    // coordinates, which is left out. Rows are the model's (0-based).
    struct Source {
        std::function<bool(int row, double *east, double *north)> position;
        std::function<QString(int row)> number;
    };

    explicit PlanView(QWidget *parent = nullptr);
    QSize sizeHint() const override { return {420, 400}; }

    // Follows model, whose row selection is selection's; the view's own list until it is given another.
    void follow(QAbstractItemModel *model, QItemSelectionModel *selection, Source source);

    // The points drawn, and the plan coordinates at the pane's centre and its scale (pixels a metre).
    int pointCount() const { return int(m_points.size()); }
    QPointF centre() const { return m_centre; }
    double scale() const { return m_scale; }
    // The widget position of a row's point; a null point when the row has none.
    QPointF widgetPosition(int row) const;
    // The row of the point nearest to pos within a few pixels; -1 when there is none.
    int rowAt(QPointF pos) const;
    // The row whose point is highlighted: the row selected in the list; -1 when none is.
    int highlightedRow() const;

    // 适合窗口: every point in the pane.
    void fit();
    // Takes up the list's changes now rather than at the next tick (tests, benchmarks).
    void refreshNow();

signals:
    // A click on a point selected its row.
    void rowChosen(int row);

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    struct Point {
        double east;
        double north;
        int row;
    };

    void listChanged(bool appendedOnly);
    void takeUpChanges();
    void rebuild(int fromRow);
    void index();
    QPointF toWidget(double east, double north) const;
    QPointF toPlan(QPointF pos) const;
    // The points of the cells a plan rectangle touches, each once.
    template <class Visit> void forEachIn(const QRectF &plan, Visit visit) const;

    QAbstractItemModel *m_model = nullptr;
    QItemSelectionModel *m_selection = nullptr;
    Source m_source;
    std::vector<Point> m_points;
    QRectF m_extent; // plan: x E, y N
    // The grid: m_cellStart[c] .. m_cellStart[c + 1] index m_cellPoints for cell c.
    int m_gridColumns = 0;
    int m_gridRows = 0;
    std::vector<int> m_cellStart;
    std::vector<int> m_cellPoints;

    QPointF m_centre;
    double m_scale = 1;
    bool m_pendingAll = false;
    int m_pendingFrom = -1; // first row appended since the last refresh; -1 when none
    QTimer m_refresh;
    QPushButton *m_fitButton = nullptr;
    QPoint m_pressAt;
    QPointF m_pressCentre;
    bool m_dragging = false;
    bool m_pressed = false;
};
