#include "Rqx2MeasurementList.h"

namespace {
// Headers of columns 1..21 under NEZ.
const char *const kNezHeaders[Rqx2MeasurementList::kFieldCount] = {
    "测量序号", "测量点名", "水平角",  "竖直角",  "斜距",     "高差",     "平距",
    "仪器高",   "棱镜高",   "坐标--N", "坐标--E", "坐标--Z",  "测站序号", "测站点名",
    "仪高",     "测站--N",  "测站--E", "测站--Z", "后视序号", "后视点名", "方位角"};

// The column whose content column shows under the order: ENZ swaps 10 with 11 and 16 with 17.
int nezColumnOf(int column, bool nez)
{
    if (nez)
        return column;
    switch (column) {
    case 10:
        return 11;
    case 11:
        return 10;
    case 16:
        return 17;
    case 17:
        return 16;
    default:
        return column;
    }
}

constexpr int kFirstPointColumn = 10;
constexpr int kFirstStationColumn = 13;
constexpr int kFirstMeasurementStore = 9; // MeasText10
} // namespace

std::vector<MeasurementColumn> Rqx2MeasurementList::columns(bool nez)
{
    std::vector<MeasurementColumn> columns;
    columns.reserve(kColumnCount);
    // The row's own number: a column so narrow that it cannot be seen (the window hides it).
    columns.push_back({QStringLiteral("序号"), 0, Qt::AlignLeft | Qt::AlignVCenter});
    for (int column = 1; column < kColumnCount; ++column)
        columns.push_back({QString::fromUtf8(kNezHeaders[nezColumnOf(column, nez) - 1]), kFieldWidthUnits,
                           Qt::AlignRight | Qt::AlignVCenter});
    return columns;
}

TextStore &Rqx2MeasurementList::columnStore(Rqx2MeasurementTexts &texts, int nezColumn)
{
    return const_cast<TextStore &>(columnStore(std::as_const(texts), nezColumn));
}

const TextStore &Rqx2MeasurementList::columnStore(const Rqx2MeasurementTexts &texts, int nezColumn)
{
    if (nezColumn < kFirstPointColumn)
        return texts.MeasText[static_cast<size_t>(kFirstMeasurementStore + nezColumn - 1)];
    if (nezColumn < kFirstStationColumn)
        return texts.PointText[static_cast<size_t>(nezColumn - kFirstPointColumn)];
    return texts.MeasText[static_cast<size_t>(nezColumn - kFirstStationColumn)];
}

QStringList Rqx2MeasurementList::row(const Rqx2MeasurementTexts &texts, long index, bool nez)
{
    QStringList cells;
    cells.reserve(kColumnCount);
    cells.append(QString::number(index));
    for (int column = 1; column < kColumnCount; ++column)
        cells.append(columnStore(texts, nezColumnOf(column, nez)).at(index));
    return cells;
}
