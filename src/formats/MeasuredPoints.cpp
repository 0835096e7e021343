#include "MeasuredPoints.h"

#include "core/MeasurementTableModel.h"

namespace {
const QString kNumberHeader = QStringLiteral("测量序号");
const QString kReceiveNumberHeader = QStringLiteral("接收序号");
const QString kNameHeader = QStringLiteral("测量点名");
const QString kNorthHeader = QStringLiteral("坐标--N");
const QString kEastHeader = QStringLiteral("坐标--E");
const QString kHeightHeader = QStringLiteral("坐标--Z");
constexpr int kNoColumn = -1;

bool isBlank(const QString &text)
{
    return text.trimmed().isEmpty();
}
} // namespace

std::vector<CoordinatePoint> MeasuredPoints::of(const MeasurementTableModel &list)
{
    const QStringList headers = list.headers();
    // Column 0 is the row's own number, never a field.
    auto find = [&](const QString &header) {
        const qsizetype column = headers.indexOf(header, 1);
        return column > 0 ? static_cast<int>(column) : kNoColumn;
    };
    const int north = find(kNorthHeader);
    const int east = find(kEastHeader);
    const int height = find(kHeightHeader);
    if (north == kNoColumn || east == kNoColumn || height == kNoColumn)
        return {};
    int number = find(kNumberHeader);
    if (number == kNoColumn)
        number = find(kReceiveNumberHeader);
    const int name = find(kNameHeader);
    auto cell = [&](int row, int column) { return column == kNoColumn ? QString() : list.cell(row, column); };

    std::vector<CoordinatePoint> points;
    for (int row = 1; row <= list.count(); ++row) {
        CoordinatePoint point;
        point.first = list.cell(row, north);
        point.second = list.cell(row, east);
        point.height = list.cell(row, height);
        if (isBlank(point.first) && isBlank(point.second) && isBlank(point.height))
            continue;
        point.sequence = QString::number(points.size() + 1);
        point.number = cell(row, number);
        point.name = cell(row, name);
        points.push_back(std::move(point));
    }
    return points;
}
