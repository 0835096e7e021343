#include "DrawingPointRules.h"

#include "core/NumericText.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <unordered_map>

namespace {

// A label at the very point: coordinates read from the same text are the same number, but a
// writer may round a label's position in its last digit.
constexpr double kSamePlace = 1e-6;
// The most grid cells one label looks through; a label larger than that looks at every point.
constexpr std::int64_t kMostCells = 4096;

// The points on a grid of square cells, for finding the points near a label.
class PointGrid {
public:
    PointGrid(const std::vector<DrawingPoint> &points, double cell) : m_points(points), m_cell(cell)
    {
        m_cells.reserve(points.size());
        for (size_t k = 0; k < points.size(); ++k)
            m_cells[key(cellOf(points[k].x), cellOf(points[k].y))].push_back(k);
    }

    // The owner of a label: the nearest point within its height, of equally near ones the last drawn
    // before it (then the first after it); -1 when none is near enough.
    qsizetype ownerOf(const DrawingLabel &label) const
    {
        const double reach = label.height + kSamePlace;
        Best best;
        const std::int64_t x0 = cellOf(label.x - reach), x1 = cellOf(label.x + reach);
        const std::int64_t y0 = cellOf(label.y - reach), y1 = cellOf(label.y + reach);
        if (double(x1 - x0 + 1) * double(y1 - y0 + 1) > double(kMostCells)) {
            for (size_t k = 0; k < m_points.size(); ++k)
                consider(label, reach, k, best);
            return best.point;
        }
        for (std::int64_t cx = x0; cx <= x1; ++cx) {
            for (std::int64_t cy = y0; cy <= y1; ++cy) {
                const auto found = m_cells.find(key(cx, cy));
                if (found == m_cells.end())
                    continue;
                for (size_t k : found->second)
                    consider(label, reach, k, best);
            }
        }
        return best.point;
    }

private:
    struct Best {
        qsizetype point = -1;
        double distance = std::numeric_limits<double>::infinity();
        size_t order = 0;
    };

    void consider(const DrawingLabel &label, double reach, size_t k, Best &best) const
    {
        const double distance = std::hypot(m_points[k].x - label.x, m_points[k].y - label.y);
        if (!(distance <= reach))
            return;
        // 0 for the point drawn just before the label, counting back, then those after it.
        const size_t before = size_t(label.pointsBefore);
        const size_t order = k < before ? before - 1 - k : k + m_points.size();
        if (distance < best.distance || (distance == best.distance && order < best.order))
            best = {qsizetype(k), distance, order};
    }

    std::int64_t cellOf(double v) const
    {
        const double c = std::floor(v / m_cell);
        return std::int64_t(std::clamp(c, -1e15, 1e15));
    }
    static std::uint64_t key(std::int64_t x, std::int64_t y)
    {
        return std::uint64_t(x) * 0x9E3779B97F4A7C15ull ^ std::uint64_t(y);
    }

    const std::vector<DrawingPoint> &m_points;
    double m_cell;
    std::unordered_map<std::uint64_t, std::vector<size_t>> m_cells;
};

// The grid's cell: the middle label height, so that most labels look through a few cells.
double cellSize(const std::vector<DrawingLabel> &labels)
{
    std::vector<double> heights;
    heights.reserve(labels.size());
    for (const DrawingLabel &label : labels) {
        if (label.height > 0)
            heights.push_back(label.height);
    }
    if (heights.empty())
        return 1;
    const auto middle = heights.begin() + qsizetype(heights.size() / 2);
    std::nth_element(heights.begin(), middle, heights.end());
    return *middle;
}

bool isNumber(const QString &text)
{
    return !text.isEmpty() && DecimalNumberLength(text) == text.size();
}

// Whether a label reads as the height z: a whole number that is z, a number with decimals that is z
// to the decimals it shows (45.68 for 45.678), or, at z 0, any number with decimals.
bool readsAsHeight(const QString &text, double z)
{
    if (!isNumber(text))
        return false;
    const qsizetype point = text.indexOf(u'.');
    if (point < 0)
        return NumericValue(text) == z;
    const qsizetype decimals = text.size() - point - 1;
    if (std::fabs(NumericValue(text) - z) <= 0.5 * std::pow(10.0, -double(decimals)) + 1e-9)
        return true;
    return z == 0;
}

QString shortest(double value)
{
    char text[kShortestDecimalMaxLength];
    return QString::fromLatin1(text, WriteShortestDecimal(value, text));
}

} // namespace

CoordinateRows DrawingPointRules::rowsOf(const DrawingEntities &entities, bool nez)
{
    const std::vector<DrawingPoint> &points = entities.points;
    const std::vector<DrawingLabel> &labels = entities.labels;

    // Each point's labels, in the drawing's order: counted, then placed.
    std::vector<qsizetype> owner(labels.size(), -1);
    std::vector<size_t> firstLabel(points.size() + 1, 0);
    if (!points.empty() && !labels.empty()) {
        const PointGrid grid(points, cellSize(labels));
        for (size_t k = 0; k < labels.size(); ++k) {
            owner[k] = grid.ownerOf(labels[k]);
            if (owner[k] >= 0)
                ++firstLabel[size_t(owner[k]) + 1];
        }
    }
    for (size_t p = 1; p <= points.size(); ++p)
        firstLabel[p] += firstLabel[p - 1];
    std::vector<size_t> labelOf(firstLabel.back());
    {
        std::vector<size_t> next(firstLabel.begin(), firstLabel.end() - 1);
        for (size_t k = 0; k < labels.size(); ++k) {
            if (owner[k] >= 0)
                labelOf[next[size_t(owner[k])]++] = k;
        }
    }

    CoordinateRows rows;
    rows.reserve(qsizetype(points.size()));
    for (size_t p = 0; p < points.size(); ++p) {
        const DrawingPoint &point = points[p];
        const QString *heightLabel = nullptr;
        const QString *numberLabel = nullptr;
        for (size_t at = firstLabel[p]; at < firstLabel[p + 1]; ++at) {
            const QString &text = labels[labelOf[at]].text;
            if (readsAsHeight(text, point.z))
                heightLabel = &text;
        }
        for (size_t at = firstLabel[p]; at < firstLabel[p + 1] && !numberLabel; ++at) {
            const QString &text = labels[labelOf[at]].text;
            if (&text != heightLabel)
                numberLabel = &text;
        }

        const QString sequence = QString::number(p + 1);
        const QString number = !point.numberAttribute.isEmpty() ? point.numberAttribute
                               : numberLabel                    ? *numberLabel
                                                                : sequence;
        QString height = shortest(point.z);
        if (point.z == 0) {
            if (isNumber(point.heightAttribute))
                height = point.heightAttribute;
            else if (heightLabel)
                height = *heightLabel;
        }
        const QString east = shortest(point.x);
        const QString north = shortest(point.y);
        rows.append({sequence, number, point.nameAttribute, nez ? north : east, nez ? east : north, height});
    }
    return rows;
}
