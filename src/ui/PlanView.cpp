#include "PlanView.h"

#include <QAbstractItemModel>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {
constexpr int kRefreshMs = 100; // at most ten redraws a second while rows arrive
// Pixels around the fitted points: more on the right, where the numbers stand, and at the top, where
// the button 适合窗口 is.
constexpr int kMarginLeft = 24;
constexpr int kMarginRight = 80;
constexpr int kMarginTop = 40;
constexpr int kMarginBottom = 24;
constexpr int kPickRadius = 6;    // pixels within which a click takes a point
constexpr int kMostLabels = 2000; // more points in sight than this are drawn without their numbers
constexpr int kPointsPerCell = 4;
constexpr int kMostCellsPerSide = 1024;
constexpr double kWheelStep = 1.0015; // zoom per eighth of a degree of the wheel
constexpr double kLeastScale = 1e-9;
constexpr double kMostScale = 1e9;
const QColor kPointColour(0, 0, 160);
const QColor kLabelColour(60, 60, 60);
const QColor kSelectedColour(220, 0, 0);
} // namespace

PlanView::PlanView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PlanView"));
    setMinimumSize(160, 120);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_refresh.setSingleShot(true);
    m_refresh.setInterval(kRefreshMs);
    connect(&m_refresh, &QTimer::timeout, this, &PlanView::takeUpChanges);
    m_fitButton = new QPushButton(QStringLiteral("适合窗口"), this);
    m_fitButton->setObjectName(QStringLiteral("FitPlanView"));
    m_fitButton->adjustSize();
    connect(m_fitButton, &QPushButton::clicked, this, [this] {
        fit();
        update();
    });
}

void PlanView::follow(QAbstractItemModel *model, QItemSelectionModel *selection, Source source)
{
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
    if (m_selection)
        disconnect(m_selection, nullptr, this, nullptr);
    m_model = model;
    m_selection = selection;
    m_source = std::move(source);
    const auto all = [this] { listChanged(false); };
    connect(model, &QAbstractItemModel::modelReset, this, all);
    connect(model, &QAbstractItemModel::rowsRemoved, this, all);
    connect(model, &QAbstractItemModel::dataChanged, this, all);
    connect(model, &QAbstractItemModel::layoutChanged, this, all);
    connect(model, &QAbstractItemModel::columnsInserted, this, all);
    connect(model, &QAbstractItemModel::columnsRemoved, this, all);
    connect(model, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex &, int first, int last) {
        const bool atEnd = last == m_model->rowCount() - 1;
        if (atEnd && !m_pendingAll && m_pendingFrom < 0)
            m_pendingFrom = first;
        listChanged(atEnd);
    });
    if (selection) {
        connect(selection, &QItemSelectionModel::currentChanged, this, [this] { update(); });
        connect(selection, &QItemSelectionModel::selectionChanged, this, [this] { update(); });
    }
    listChanged(false);
}

void PlanView::listChanged(bool appendedOnly)
{
    if (!appendedOnly)
        m_pendingAll = true;
    if (!m_refresh.isActive())
        m_refresh.start();
}

void PlanView::refreshNow()
{
    m_refresh.stop();
    takeUpChanges();
}

void PlanView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_pendingAll || m_pendingFrom >= 0)
        refreshNow();
}

void PlanView::takeUpChanges()
{
    // A hidden pane does no work; it catches up when it is shown.
    if (!isVisible())
        return;
    if (m_pendingAll)
        rebuild(0);
    else if (m_pendingFrom >= 0)
        rebuild(m_pendingFrom);
    m_pendingAll = false;
    m_pendingFrom = -1;
    index();
    fit();
    update();
}

void PlanView::rebuild(int fromRow)
{
    if (fromRow == 0)
        m_points.clear();
    else
        m_points.erase(std::find_if(m_points.begin(), m_points.end(),
                                    [fromRow](const Point &p) { return p.row >= fromRow; }),
                       m_points.end());
    if (!m_model || !m_source.position)
        return;
    const int rows = m_model->rowCount();
    m_points.reserve(size_t(rows));
    for (int row = fromRow; row < rows; ++row) {
        double east = 0;
        double north = 0;
        if (m_source.position(row, &east, &north) && std::isfinite(east) && std::isfinite(north))
            m_points.push_back({east, north, row});
    }
}

void PlanView::index()
{
    m_cellStart.clear();
    m_cellPoints.clear();
    m_gridColumns = m_gridRows = 0;
    if (m_points.empty()) {
        m_extent = QRectF();
        return;
    }
    double left = m_points[0].east, right = left, bottom = m_points[0].north, top = bottom;
    for (const Point &p : m_points) {
        left = std::min(left, p.east);
        right = std::max(right, p.east);
        bottom = std::min(bottom, p.north);
        top = std::max(top, p.north);
    }
    m_extent = QRectF(QPointF(left, bottom), QPointF(right, top));
    const int side =
        std::clamp(int(std::sqrt(double(m_points.size()) / kPointsPerCell)), 1, kMostCellsPerSide);
    m_gridColumns = m_extent.width() > 0 ? side : 1;
    m_gridRows = m_extent.height() > 0 ? side : 1;
    const auto cellOf = [this](const Point &p) {
        const int c = m_extent.width() > 0
                          ? std::min(m_gridColumns - 1,
                                     int((p.east - m_extent.left()) / m_extent.width() * m_gridColumns))
                          : 0;
        const int r =
            m_extent.height() > 0
                ? std::min(m_gridRows - 1, int((p.north - m_extent.top()) / m_extent.height() * m_gridRows))
                : 0;
        return r * m_gridColumns + c;
    };
    m_cellStart.assign(size_t(m_gridColumns * m_gridRows + 1), 0);
    for (const Point &p : m_points)
        ++m_cellStart[size_t(cellOf(p)) + 1];
    for (size_t c = 1; c < m_cellStart.size(); ++c)
        m_cellStart[c] += m_cellStart[c - 1];
    m_cellPoints.resize(m_points.size());
    std::vector<int> next(m_cellStart.begin(), m_cellStart.end() - 1);
    for (size_t k = 0; k < m_points.size(); ++k)
        m_cellPoints[size_t(next[size_t(cellOf(m_points[k]))]++)] = int(k);
}

template <class Visit> void PlanView::forEachIn(const QRectF &plan, Visit visit) const
{
    if (m_points.empty())
        return;
    const QRectF area = plan.normalized();
    const auto column = [this](double east) {
        if (m_extent.width() <= 0)
            return 0;
        // Clamped as a real first: a far zoomed-out view reaches beyond any integer.
        const double c = std::floor((east - m_extent.left()) / m_extent.width() * m_gridColumns);
        return int(std::clamp(c, 0.0, double(m_gridColumns - 1)));
    };
    const auto row = [this](double north) {
        if (m_extent.height() <= 0)
            return 0;
        const double r = std::floor((north - m_extent.top()) / m_extent.height() * m_gridRows);
        return int(std::clamp(r, 0.0, double(m_gridRows - 1)));
    };
    if (area.right() < m_extent.left() || area.left() > m_extent.right() || area.bottom() < m_extent.top() ||
        area.top() > m_extent.bottom())
        return;
    const int c0 = column(area.left()), c1 = column(area.right());
    const int r0 = row(area.top()), r1 = row(area.bottom());
    for (int r = r0; r <= r1; ++r) {
        for (int c = c0; c <= c1; ++c) {
            const int cell = r * m_gridColumns + c;
            for (int at = m_cellStart[size_t(cell)]; at < m_cellStart[size_t(cell) + 1]; ++at) {
                const Point &p = m_points[size_t(m_cellPoints[size_t(at)])];
                if (p.east >= area.left() && p.east <= area.right() && p.north >= area.top() &&
                    p.north <= area.bottom())
                    visit(p);
            }
        }
    }
}

void PlanView::fit()
{
    if (m_points.empty()) {
        m_centre = QPointF();
        m_scale = 1;
        return;
    }
    const double w = std::max(1, width() - kMarginLeft - kMarginRight);
    const double h = std::max(1, height() - kMarginTop - kMarginBottom);
    const double room = std::min(w, h);
    if (m_extent.width() <= 0 && m_extent.height() <= 0)
        m_scale = room / 10.0; // one point, or all at one place: ten metres across
    else if (m_extent.width() <= 0)
        m_scale = h / m_extent.height();
    else if (m_extent.height() <= 0)
        m_scale = w / m_extent.width();
    else
        m_scale = std::min(w / m_extent.width(), h / m_extent.height());
    m_scale = std::clamp(m_scale, kLeastScale, kMostScale);
    // The extent's centre at the centre of the room the margins leave.
    const QPointF roomCentre((kMarginLeft + width() - kMarginRight) / 2.0,
                             (kMarginTop + height() - kMarginBottom) / 2.0);
    const QPointF offset = roomCentre - QPointF(width() / 2.0, height() / 2.0);
    m_centre =
        QPointF(m_extent.center().x() - offset.x() / m_scale, m_extent.center().y() + offset.y() / m_scale);
}

QPointF PlanView::toWidget(double east, double north) const
{
    return QPointF(width() / 2.0 + (east - m_centre.x()) * m_scale,
                   height() / 2.0 - (north - m_centre.y()) * m_scale);
}

QPointF PlanView::toPlan(QPointF pos) const
{
    return QPointF(m_centre.x() + (pos.x() - width() / 2.0) / m_scale,
                   m_centre.y() - (pos.y() - height() / 2.0) / m_scale);
}

QPointF PlanView::widgetPosition(int row) const
{
    for (const Point &p : m_points) {
        if (p.row == row)
            return toWidget(p.east, p.north);
    }
    return {};
}

int PlanView::rowAt(QPointF pos) const
{
    const double reach = kPickRadius / m_scale;
    const QPointF at = toPlan(pos);
    int best = -1;
    double bestDistance = reach;
    forEachIn(QRectF(at - QPointF(reach, reach), at + QPointF(reach, reach)), [&](const Point &p) {
        const double d = std::hypot(p.east - at.x(), p.north - at.y());
        if (d <= bestDistance) {
            if (d < bestDistance || best < 0 || p.row < best)
                best = p.row;
            bestDistance = d;
        }
    });
    return best;
}

int PlanView::highlightedRow() const
{
    if (!m_selection)
        return -1;
    const QModelIndex current = m_selection->currentIndex();
    if (current.isValid() && m_selection->isRowSelected(current.row(), current.parent()))
        return current.row();
    const QModelIndexList rows = m_selection->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void PlanView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const double slack = 8 / m_scale;
    const QRectF sight = QRectF(toPlan(QPointF(0, 0)), toPlan(QPointF(width(), height())))
                             .normalized()
                             .adjusted(-slack, -slack, slack, slack);

    std::vector<const Point *> seen;
    std::vector<bool> pixelTaken(size_t(width()) * size_t(height()), false);
    int inSight = 0;
    forEachIn(sight, [&](const Point &p) {
        ++inSight;
        const QPointF at = toWidget(p.east, p.north);
        const int x = int(at.x()), y = int(at.y());
        if (x >= 0 && y >= 0 && x < width() && y < height()) {
            const size_t pixel = size_t(y) * size_t(width()) + size_t(x);
            if (pixelTaken[pixel] && inSight > kMostLabels)
                return;
            pixelTaken[pixel] = true;
        }
        seen.push_back(&p);
    });

    const bool labelled = inSight <= kMostLabels;
    painter.setRenderHint(QPainter::Antialiasing, labelled);
    QPen pen(kPointColour, labelled ? 5 : 3);
    pen.setCapStyle(labelled ? Qt::RoundCap : Qt::SquareCap);
    painter.setPen(pen);
    std::vector<QPointF> dots;
    dots.reserve(seen.size());
    for (const Point *p : seen)
        dots.push_back(toWidget(p->east, p->north));
    painter.drawPoints(dots.data(), int(dots.size()));
    if (labelled && m_source.number) {
        painter.setPen(kLabelColour);
        const int selected = highlightedRow();
        for (size_t k = 0; k < seen.size(); ++k) {
            if (seen[k]->row != selected)
                painter.drawText(dots[k] + QPointF(5, -4), m_source.number(seen[k]->row));
        }
    }

    const int selected = highlightedRow();
    if (selected >= 0) {
        for (const Point &p : m_points) {
            if (p.row != selected)
                continue;
            const QPointF at = toWidget(p.east, p.north);
            painter.setRenderHint(QPainter::Antialiasing, true);
            painter.setPen(QPen(kSelectedColour, 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(at, 7, 7);
            if (m_source.number) {
                QFont bold = painter.font();
                bold.setBold(true);
                painter.setFont(bold);
                painter.drawText(at + QPointF(9, -8), m_source.number(p.row));
            }
            break;
        }
    }
}

void PlanView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_fitButton->move(width() - m_fitButton->width() - 4, 4);
    fit();
}

void PlanView::wheelEvent(QWheelEvent *event)
{
    const QPointF pos = event->position();
    const QPointF fixed = toPlan(pos);
    m_scale = std::clamp(m_scale * std::pow(kWheelStep, event->angleDelta().y()), kLeastScale, kMostScale);
    m_centre = QPointF(fixed.x() - (pos.x() - width() / 2.0) / m_scale,
                       fixed.y() + (pos.y() - height() / 2.0) / m_scale);
    update();
    event->accept();
}

void PlanView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = true;
    m_dragging = false;
    m_pressAt = event->position().toPoint();
    m_pressCentre = m_centre;
}

void PlanView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_pressed)
        return;
    const QPoint moved = event->position().toPoint() - m_pressAt;
    if (!m_dragging && moved.manhattanLength() < 4)
        return;
    m_dragging = true;
    m_centre = QPointF(m_pressCentre.x() - moved.x() / m_scale, m_pressCentre.y() + moved.y() / m_scale);
    update();
}

void PlanView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    if (m_dragging)
        return;
    const int row = rowAt(event->position());
    if (row < 0 || !m_selection || !m_model)
        return;
    const QModelIndex index = m_model->index(row, 0);
    m_selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    emit rowChosen(row);
    update();
}
