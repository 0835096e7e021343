#include "CoordinateFormats.h"

#include "DxfDrawing.h"

#include <iterator>

namespace {
using F = CoordinateFileLayout;

constexpr CoordinateFileLayout kNumberNameNez{5, {F::Number, F::Name, F::North, F::East, F::Height}};
constexpr CoordinateFileLayout kNumberNameEnz{5, {F::Number, F::Name, F::East, F::North, F::Height}};
constexpr CoordinateFileLayout kGuangzhouCass{
    6, {F::Sequence, F::Number, F::North, F::East, F::Height, F::Name}};
constexpr CoordinateFileLayout kSv300{6, {F::Sequence, F::Number, F::Name, F::North, F::East, F::Height}};
constexpr CoordinateFileLayout kTopcon{5, {F::Number, F::East, F::North, F::Height, F::Name}};
constexpr auto kFields = CoordinateFormat::ByFields;
constexpr auto kLines = CoordinateFormat::AsRawLines;

// Only the open list calls the drawing "CAD格式(ENZ)". The drawing is not read: its lines are shown
// as they stand, and so are those of a text file, which is written like HYL NEZ.
// clang-format off
constexpr CoordinateFormat kRows[] = {
//   number         open label                save label                ext     layout          reading
    {HylNez,        u"HYL格式(NEZ)(*.hyl)",   u"HYL格式(NEZ)(*.hyl)",   u"hyl", kNumberNameNez, kFields},
    {HylEnz,        u"HYL格式(ENZ)(*.hyl)",   u"HYL格式(ENZ)(*.hyl)",   u"hyl", kNumberNameEnz, kFields},
    {CadDrawing,    u"CAD格式(ENZ)(*.dxf)",   u"CAD格式(*.dxf)",        u"dxf", {},             kLines,
     BuildDxfDrawing, WriteDxfDrawingFile},
    {SouthCass,     u"南方开思(*.dat)",       u"南方开思(*.dat)",       u"dat", kNumberNameEnz, kFields},
    {GuangzhouCass, u"广州开思(*.dat)",       u"广州开思(*.dat)",       u"dat", kGuangzhouCass, kFields},
    {Sv300,         u"SV300格式(*.svf)",      u"SV300格式(*.svf)",      u"svf", kSv300,         kFields},
    {Topcon,        u"拓普康格式(*.pts)",     u"拓普康格式(*.pts)",     u"pts", kTopcon,        kFields},
    {PlainText,     u"文本文档(*.txt)",       u"文本文档(*.txt)",       u"txt", kNumberNameNez, kLines},
    {Csv,           u"CSV(逗号分隔)(*.csv)",  u"CSV(逗号分隔)(*.csv)",  u"csv", kNumberNameNez, kFields},
};
// clang-format on

using Label = QStringView CoordinateFormat::*;

QString filterOf(Label label)
{
    QString filter;
    for (const CoordinateFormat &row : kRows) {
        if (!(row.*label).isEmpty())
            filter.append(row.*label).append(u"|*.").append(row.extension).append(u'|');
    }
    return filter;
}

const CoordinateFormat &chosen(Label label, int filterIndex)
{
    const CoordinateFormat *first = nullptr;
    int position = 0;
    for (const CoordinateFormat &row : kRows) {
        if ((row.*label).isEmpty())
            continue;
        if (++position == filterIndex)
            return row;
        if (first == nullptr)
            first = &row;
    }
    return *first;
}
} // namespace

bool isCoordinateFileFormat(int number)
{
    return CoordinateFormats::find(number) != nullptr;
}

int CoordinateFormats::count()
{
    return static_cast<int>(std::size(kRows));
}

const CoordinateFormat &CoordinateFormats::at(int index)
{
    return kRows[index];
}

const CoordinateFormat *CoordinateFormats::find(int number)
{
    for (const CoordinateFormat &row : kRows) {
        if (row.number == number)
            return &row;
    }
    return nullptr;
}

QString CoordinateFormats::openFilter()
{
    return filterOf(&CoordinateFormat::openLabel);
}

QString CoordinateFormats::saveFilter()
{
    return filterOf(&CoordinateFormat::saveLabel);
}

const CoordinateFormat &CoordinateFormats::opened(int filterIndex)
{
    return chosen(&CoordinateFormat::openLabel, filterIndex);
}

const CoordinateFormat &CoordinateFormats::saved(int filterIndex)
{
    return chosen(&CoordinateFormat::saveLabel, filterIndex);
}
