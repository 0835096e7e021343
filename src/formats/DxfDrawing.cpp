#include "DxfDrawing.h"

#include "core/CoordinateTableModel.h"
#include "core/NumericText.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr QLatin1StringView kLineEnd("\r\n");

// Group codes stand right-aligned: three characters in the header and the tables, four in the
// entities' coordinates; the readers the drawing is made for take them as they are.
constexpr QLatin1StringView kSectionCode("  0");
constexpr QLatin1StringView kNameCode("  2");
constexpr QLatin1StringView kVariableCode("  9");
constexpr QLatin1StringView kHeaderX(" 10");
constexpr QLatin1StringView kHeaderY(" 20");
constexpr QLatin1StringView kHeaderZ(" 30");
constexpr QLatin1StringView kFlagsCode(" 70");
constexpr QLatin1StringView kColourCode(" 62");
constexpr QLatin1StringView kLineTypeCode("  6");
constexpr QLatin1StringView kLayerCode("  8");
constexpr QLatin1StringView kEntityX("  10");
constexpr QLatin1StringView kEntityY("  20");
constexpr QLatin1StringView kEntityZ("  30");
constexpr QLatin1StringView kTextHeightCode(" 40");
constexpr QLatin1StringView kTextCode("  1");

constexpr QLatin1StringView kPointLayer("Point");
constexpr QLatin1StringView kNumberLayer("PointNumber");
constexpr QLatin1StringView kLevelLayer("Level");
constexpr QLatin1StringView kCodeLayer("Code");

// The point-number label has height 0, the height label 0.1 and stands at elevation 0.
constexpr QLatin1StringView kNumberLabelHeight("  0");
constexpr QLatin1StringView kLevelLabelHeight(" 0.1");
constexpr QLatin1StringView kLevelLabelElevation("  0");

// The bounds start here, so a drawing whose heights are all negative keeps a highest Z of 0.
constexpr double kLowestStart = 999999999;
constexpr double kHighestStart = 0;

struct Layer {
    QLatin1StringView name;
    QLatin1StringView colour;
};
constexpr Layer kLayers[] = {
    {kPointLayer, QLatin1StringView("  7")},
    {kNumberLayer, QLatin1StringView("  3")},
    {kLevelLayer, QLatin1StringView("  3")},
    {kCodeLayer, QLatin1StringView("  4")}, // declared for the user's own codes; no entity uses it
};

class DrawingText {
public:
    explicit DrawingText(qsizetype expectedSize) { m_text.reserve(expectedSize); }

    template <class Text> DrawingText &line(const Text &text)
    {
        m_text += text;
        m_text += kLineEnd;
        return *this;
    }
    template <class Text> DrawingText &pair(QLatin1StringView code, const Text &value)
    {
        return line(code).line(value);
    }

    QString take() { return std::move(m_text); }

private:
    QString m_text;
};

QString cellValue(QStringView text)
{
    return ShortestDecimal(NumericValue(text));
}

QString extentValue(double value)
{
    return ShortestDecimal(std::floor(value));
}

// A point number that is wholly a number is labelled in its shortest form (12.50 as 12.5, 007 as
// 7); any other stays as it is, so lettered points (A7, K3-1) keep their names on the drawing.
QString pointNumberLabel(QStringView number)
{
    const QStringView trimmed = number.trimmed();
    if (!trimmed.isEmpty() && DecimalNumberLength(trimmed) == trimmed.size())
        return cellValue(trimmed);
    QString label = number.toString();
    // One value is one line: a control character would break the drawing's line structure.
    for (QChar &c : label) {
        if (c.unicode() < 0x20)
            c = u' ';
    }
    return label;
}

struct Extents {
    double lowE = kLowestStart, highE = kHighestStart;
    double lowN = kLowestStart, highN = kHighestStart;
    double lowZ = kLowestStart, highZ = kHighestStart;
};

} // namespace

QString BuildDxfDrawing(const CoordinateTableModel &table, bool nez)
{
    const int rows = table.count();
    if (rows == 0)
        return {};
    const int eastColumn = nez ? 4 : 3;
    const int northColumn = nez ? 3 : 4;
    constexpr int heightColumn = 5;

    // The header needs the extents before any line is written.
    Extents x;
    for (int row = 1; row <= rows; ++row) {
        const double e = NumericValue(table.cellView(row, eastColumn));
        const double n = NumericValue(table.cellView(row, northColumn));
        const double z = NumericValue(table.cellView(row, heightColumn));
        x.lowE = std::min(x.lowE, e);
        x.highE = std::max(x.highE, e);
        x.lowN = std::min(x.lowN, n);
        x.highN = std::max(x.highN, n);
        x.lowZ = std::min(x.lowZ, z);
        x.highZ = std::max(x.highZ, z);
    }

    // About 250 characters a row, a little under 600 for the header and tables.
    constexpr qsizetype kRowSize = 256;
    constexpr qsizetype kPreambleSize = 640;
    DrawingText dxf(kPreambleSize + kRowSize * rows);

    dxf.pair(kSectionCode, QLatin1StringView("SECTION")).pair(kNameCode, QLatin1StringView("HEADER"));
    dxf.pair(kVariableCode, QLatin1StringView("$EXTMIN"))
        .pair(kHeaderX, extentValue(x.lowE))
        .pair(kHeaderY, extentValue(x.lowN))
        .pair(kHeaderZ, extentValue(x.lowZ));
    dxf.pair(kVariableCode, QLatin1StringView("$EXTMAX"))
        .pair(kHeaderX, extentValue(x.highE))
        .pair(kHeaderY, extentValue(x.highN))
        .pair(kHeaderZ, extentValue(x.highZ));
    dxf.pair(kVariableCode, QLatin1StringView("$LIMMIN"))
        .pair(kHeaderX, extentValue(x.lowE))
        .pair(kHeaderY, extentValue(x.lowN));
    dxf.pair(kVariableCode, QLatin1StringView("$LIMMAX"))
        .pair(kHeaderX, extentValue(x.highE))
        .pair(kHeaderY, extentValue(x.highN));
    dxf.pair(kSectionCode, QLatin1StringView("ENDSEC"));

    dxf.pair(kSectionCode, QLatin1StringView("SECTION")).pair(kNameCode, QLatin1StringView("TABLES"));
    dxf.pair(kSectionCode, QLatin1StringView("TABLE")).pair(kNameCode, QLatin1StringView("LAYER"));
    dxf.pair(kFlagsCode, QLatin1StringView("  4"));
    for (const Layer &layer : kLayers) {
        dxf.pair(kSectionCode, QLatin1StringView("LAYER"))
            .pair(kNameCode, layer.name)
            .pair(kFlagsCode, QLatin1StringView(" 64"))
            .pair(kColourCode, layer.colour)
            .pair(kLineTypeCode, QLatin1StringView("CONTINUOUS"));
    }
    dxf.pair(kSectionCode, QLatin1StringView("ENDTAB")).pair(kSectionCode, QLatin1StringView("ENDSEC"));

    dxf.pair(kSectionCode, QLatin1StringView("SECTION")).pair(kNameCode, QLatin1StringView("BLOCKS"));
    dxf.pair(kSectionCode, QLatin1StringView("ENDSEC"));

    // Every entity ends with the "  0" that opens the next one.
    dxf.pair(kSectionCode, QLatin1StringView("SECTION")).pair(kNameCode, QLatin1StringView("ENTITIES"));
    dxf.line(kSectionCode);
    for (int row = 1; row <= rows; ++row) {
        const QString e = cellValue(table.cellView(row, eastColumn));
        const QString n = cellValue(table.cellView(row, northColumn));
        const QString z = cellValue(table.cellView(row, heightColumn));
        const QString label = pointNumberLabel(table.cellView(row, 1));

        dxf.line(QLatin1StringView("POINT"))
            .pair(kLayerCode, kPointLayer)
            .pair(kEntityX, e)
            .pair(kEntityY, n)
            .pair(kEntityZ, z)
            .line(kSectionCode);
        dxf.line(QLatin1StringView("TEXT"))
            .pair(kLayerCode, kNumberLayer)
            .pair(kEntityX, e)
            .pair(kEntityY, n)
            .pair(kEntityZ, z)
            .pair(kTextHeightCode, kNumberLabelHeight)
            .pair(kTextCode, label)
            .line(kSectionCode);
        dxf.line(QLatin1StringView("TEXT"))
            .pair(kLayerCode, kLevelLayer)
            .pair(kEntityX, e)
            .pair(kEntityY, n)
            .pair(kEntityZ, kLevelLabelElevation)
            .pair(kTextHeightCode, kLevelLabelHeight)
            .pair(kTextCode, z)
            .line(kSectionCode);
    }
    dxf.line(QLatin1StringView("ENDSEC")).pair(kSectionCode, QLatin1StringView("EOF"));
    return dxf.take();
}
