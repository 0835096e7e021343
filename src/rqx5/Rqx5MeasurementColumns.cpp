#include "Rqx5MeasurementColumns.h"

namespace {

constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment kCentre = Qt::AlignHCenter | Qt::AlignVCenter;
constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;

MeasurementColumn numberColumn()
{
    return {QStringLiteral("序号"), 0, kLeft};
}

} // namespace

namespace Rqx5MeasurementColumns {

std::vector<MeasurementColumn> dataFile(bool nez)
{
    const QString stationN = QStringLiteral("测站--N"), stationE = QStringLiteral("测站--E");
    const QString pointN = QStringLiteral("坐标--N"), pointE = QStringLiteral("坐标--E");
    return {numberColumn(),
            {QStringLiteral("测站序号"), 2, kCentre},
            {QStringLiteral("测站点名"), 2, kCentre},
            {QStringLiteral("仪高"), 3, kRight},
            {nez ? stationN : stationE, 3, kRight},
            {nez ? stationE : stationN, 3, kRight},
            {QStringLiteral("测站--Z"), 3, kRight},
            {QStringLiteral("后视序号"), 2, kRight},
            {QStringLiteral("后视点名"), 2, kRight},
            {QStringLiteral("方位角"), 3, kRight},
            {QStringLiteral("测量序号"), 2, kRight},
            {QStringLiteral("测量点名"), 2, kRight},
            {QStringLiteral("水平角"), 3, kRight},
            {QStringLiteral("竖直角"), 3, kRight},
            {QStringLiteral("斜距"), 3, kRight},
            {QStringLiteral("高差"), 3, kRight},
            {QStringLiteral("平距"), 3, kRight},
            {QStringLiteral("目标高"), 3, kRight},
            {nez ? pointN : pointE, 3, kRight},
            {nez ? pointE : pointN, 3, kRight},
            {QStringLiteral("坐标--Z"), 3, kRight}};
}

std::vector<MeasurementColumn> measurement(bool nez)
{
    const QString pointN = QStringLiteral("坐标--N"), pointE = QStringLiteral("坐标--E");
    return {numberColumn(),
            {QStringLiteral("接收序号"), 2, kCentre},
            {QStringLiteral("水平角"), 3, kRight},
            {QStringLiteral("竖直角"), 3, kRight},
            {QStringLiteral("斜距"), 3, kRight},
            {QStringLiteral("高差"), 3, kRight},
            {QStringLiteral("平距"), 3, kRight},
            {nez ? pointN : pointE, 3, kRight},
            {nez ? pointE : pointN, 3, kRight},
            {QStringLiteral("坐标--Z"), 3, kRight}};
}

} // namespace Rqx5MeasurementColumns

void SetRqx5DataFileColumns(MeasurementTableModel &list, bool nez)
{
    list.setColumns(Rqx5MeasurementColumns::dataFile(nez));
}

void SetRqx5MeasurementColumns(MeasurementTableModel &list, bool nez)
{
    list.setColumns(Rqx5MeasurementColumns::measurement(nez));
}
