#include "DxfDrawing.h"

#include "FileText.h"
#include "PieceWork.h"
#include "core/CoordinateTableModel.h"
#include "core/NumericText.h"

#include <QIODevice>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr QLatin1StringView kLineEnd("\r\n");

// Group codes stand right-aligned: three characters in the header and the tables, four in the
// entities' coordinates; the readers the drawing is made for take them as they are.
constexpr QLatin1StringView kSectionCode("  0");
constexpr QLatin1StringView kNameCode("  2");
constexpr QLatin1StringView kVariableCode("  9");
constexpr QLatin1StringView kCodePageCode("  3");
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

// A number as the drawing writes it, formatted once and written up to three times.
class Number {
public:
    Number() = default;
    explicit Number(double value) : m_length(WriteShortestDecimal(value, m_text)) {}
    // The numeric value of a cell's text.
    explicit Number(QStringView text) : m_length(WriteShortestValue(text, m_text)) {}
    QLatin1StringView view() const { return QLatin1StringView(m_text, m_length); }

private:
    char m_text[kShortestDecimalMaxLength];
    qsizetype m_length = 0;
};

Number cellValue(QStringView text)
{
    return Number(text);
}

Number extentValue(double value)
{
    return Number(std::floor(value));
}

// The drawing is built as a text, or written to a file piece by piece: a million-point drawing is
// some 280 MB of bytes and would take twice that again as text. Some forty short pieces a row go
// through here, so both write into plain buffers rather than appending to strings.
class TextOut {
public:
    explicit TextOut(qsizetype expectedSize) { m_out.resize(expectedSize); }

    void append(QLatin1StringView ascii)
    {
        QChar *at = room(ascii.size());
        for (qsizetype k = 0; k < ascii.size(); ++k)
            at[k] = ascii[k];
    }
    void appendText(QStringView text) { std::copy(text.begin(), text.end(), room(text.size())); }
    QString take()
    {
        m_out.truncate(m_used);
        m_out.squeeze();
        return std::move(m_out);
    }

private:
    QChar *room(qsizetype length)
    {
        if (m_used + length > m_out.size())
            m_out.resize(std::max(2 * m_out.size(), m_used + length));
        QChar *at = m_out.data() + m_used;
        m_used += length;
        return at;
    }

    QString m_out;
    qsizetype m_used = 0;
};

// A piece of the file's bytes. Some forty short lines a row go through here, so the common case is a
// copy into room at hand.
class BytesOut {
public:
    explicit BytesOut(qsizetype expectedSize)
    {
        m_out.resize(expectedSize);
        m_at = m_out.data();
    }

    Q_ALWAYS_INLINE void append(QLatin1StringView ascii)
    {
        std::memcpy(room(ascii.size()), ascii.data(), static_cast<size_t>(ascii.size()));
    }
    // Labels in the file's code page; most are plain ASCII and need no encoder.
    void appendText(QStringView text)
    {
        if (std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x80; })) {
            const QByteArray encoded = EncodeFileText(text);
            std::memcpy(room(encoded.size()), encoded.constData(), static_cast<size_t>(encoded.size()));
            return;
        }
        char *at = room(text.size());
        for (qsizetype k = 0; k < text.size(); ++k)
            at[k] = static_cast<char>(text[k].unicode());
    }
    QByteArray take()
    {
        m_out.truncate(m_at - m_out.constData());
        return std::move(m_out);
    }

private:
    Q_ALWAYS_INLINE char *room(qsizetype length)
    {
        if (length > m_out.constData() + m_out.size() - m_at)
            grow(length);
        char *at = m_at;
        m_at += length;
        return at;
    }
    void grow(qsizetype length)
    {
        const qsizetype used = m_at - m_out.constData();
        m_out.resize(std::max(2 * m_out.size(), used + length));
        m_at = m_out.data() + used;
    }

    QByteArray m_out;
    char *m_at = nullptr;
};

template <class Out> class DrawingLines {
public:
    explicit DrawingLines(Out &out) : m_out(out) {}

    Q_ALWAYS_INLINE DrawingLines &line(QLatin1StringView text)
    {
        m_out.append(text);
        m_out.append(kLineEnd);
        return *this;
    }
    Q_ALWAYS_INLINE DrawingLines &line(const Number &number) { return line(number.view()); }
    DrawingLines &textLine(QStringView text)
    {
        m_out.appendText(text);
        m_out.append(kLineEnd);
        return *this;
    }
    template <class Value> Q_ALWAYS_INLINE DrawingLines &pair(QLatin1StringView code, const Value &value)
    {
        return line(code).line(value);
    }

private:
    Out &m_out;
};

// A point number that is wholly a number is labelled in its shortest form (12.50 as 12.5, 007 as
// 7); any other stays as it is, so lettered points (A7, K3-1) keep their names on the drawing.
template <class Out> void writePointNumberLabel(DrawingLines<Out> &dxf, QStringView number)
{
    const QStringView trimmed = number.trimmed();
    if (!trimmed.isEmpty() && DecimalNumberLength(trimmed) == trimmed.size()) {
        dxf.line(cellValue(trimmed));
        return;
    }
    // One value is one line: a control character would break the drawing's line structure.
    const bool hasControl =
        std::any_of(number.begin(), number.end(), [](QChar c) { return c.unicode() < 0x20; });
    if (!hasControl) {
        dxf.textLine(number);
        return;
    }
    QString label = number.toString();
    for (QChar &c : label) {
        if (c.unicode() < 0x20)
            c = u' ';
    }
    dxf.textLine(label);
}

struct Extents {
    double lowE = kLowestStart, highE = kHighestStart;
    double lowN = kLowestStart, highN = kHighestStart;
    double lowZ = kLowestStart, highZ = kHighestStart;

    void take(const Extents &other)
    {
        lowE = std::min(lowE, other.lowE);
        highE = std::max(highE, other.highE);
        lowN = std::min(lowN, other.lowN);
        highN = std::max(highN, other.highN);
        lowZ = std::min(lowZ, other.lowZ);
        highZ = std::max(highZ, other.highZ);
    }
};

// Which columns hold E and N: X is E and Y is N whichever order the table shows.
struct PlanColumns {
    explicit PlanColumns(bool nez) : east(nez ? 4 : 3), north(nez ? 3 : 4) {}
    size_t east;
    size_t north;
    static constexpr size_t height = 5;
};

// The bounds over rows first..last; the lowest or highest of the rows taken in any order is the same.
Extents extentsOf(const CoordinateTableModel &table, PlanColumns plan, int first, int last)
{
    Extents x;
    for (int row = first; row <= last; ++row) {
        const auto cells = table.cellViews(row);
        const double e = NumericValue(cells[plan.east]);
        const double n = NumericValue(cells[plan.north]);
        const double z = NumericValue(cells[plan.height]);
        x.lowE = std::min(x.lowE, e);
        x.highE = std::max(x.highE, e);
        x.lowN = std::min(x.lowN, n);
        x.highN = std::max(x.highN, n);
        x.lowZ = std::min(x.lowZ, z);
        x.highZ = std::max(x.highZ, z);
    }
    return x;
}

// Header, tables, blocks and the start of the entities section, up to the "  0" that opens the first
// entity.
template <class Out> void writePreamble(const Extents &x, Out &out)
{
    DrawingLines<Out> dxf(out);

    dxf.pair(kSectionCode, QLatin1StringView("SECTION")).pair(kNameCode, QLatin1StringView("HEADER"));
    // The labels are in the Chinese code page; readers outside a Chinese system would otherwise
    // take them for Windows-1252 (控3 comes back as "¿Ø3").
    dxf.pair(kVariableCode, QLatin1StringView("$DWGCODEPAGE"))
        .pair(kCodePageCode, QLatin1StringView("ANSI_936"));
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
}

// The three entities of each row first..last.
template <class Out>
void writeEntities(const CoordinateTableModel &table, PlanColumns plan, int first, int last, Out &out)
{
    DrawingLines<Out> dxf(out);
    for (int row = first; row <= last; ++row) {
        const auto cells = table.cellViews(row);
        const Number e = cellValue(cells[plan.east]);
        const Number n = cellValue(cells[plan.north]);
        const Number z = cellValue(cells[plan.height]);

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
            .line(kTextCode);
        writePointNumberLabel(dxf, cells[1]);
        dxf.line(kSectionCode);
        dxf.line(QLatin1StringView("TEXT"))
            .pair(kLayerCode, kLevelLayer)
            .pair(kEntityX, e)
            .pair(kEntityY, n)
            .pair(kEntityZ, kLevelLabelElevation)
            .pair(kTextHeightCode, kLevelLabelHeight)
            .pair(kTextCode, z)
            .line(kSectionCode);
    }
}

template <class Out> void writeEnd(Out &out)
{
    DrawingLines<Out>(out).line(QLatin1StringView("ENDSEC")).pair(kSectionCode, QLatin1StringView("EOF"));
}

// Some 280 characters a row, a little under 600 for the header and the tables.
constexpr qsizetype kRowSize = 288;
constexpr qsizetype kPreambleSize = 640;
// A file is made in pieces of this many rows, about a megabyte each: pieces of that size are made
// and let go again without leaving the memory they took scattered.
constexpr int kPieceRows = 4096;

int pieceCount(int rows)
{
    return (rows + kPieceRows - 1) / kPieceRows;
}

int firstRowOf(int piece)
{
    return piece * kPieceRows + 1;
}

int lastRowOf(int piece, int rows)
{
    return std::min(rows, firstRowOf(piece) + kPieceRows - 1);
}

} // namespace

QString BuildDxfDrawing(const CoordinateTableModel &table, bool nez)
{
    const int rows = table.count();
    if (rows == 0)
        return {};
    const PlanColumns plan(nez);
    TextOut out(kPreambleSize + kRowSize * rows);
    writePreamble(extentsOf(table, plan, 1, rows), out);
    writeEntities(table, plan, 1, rows, out);
    writeEnd(out);
    return out.take();
}

bool WriteDxfDrawingFile(const CoordinateTableModel &table, bool nez, QIODevice &device)
{
    const int rows = table.count();
    const auto put = [&](const QByteArray &bytes) { return device.write(bytes) == bytes.size(); };
    if (rows == 0)
        return put(QByteArrayLiteral("\r\n"));

    // The header needs the extents of all rows before any line is written.
    const PlanColumns plan(nez);
    std::vector<Extents> pieceExtents(static_cast<size_t>(pieceCount(rows)));
    ForEachPiece(pieceCount(rows), [&](int piece) {
        pieceExtents[static_cast<size_t>(piece)] =
            extentsOf(table, plan, firstRowOf(piece), lastRowOf(piece, rows));
    });
    Extents extents;
    for (const Extents &x : pieceExtents)
        extents.take(x);

    BytesOut preamble(kPreambleSize);
    writePreamble(extents, preamble);
    const auto makeEntities = [&](int piece) {
        const int first = firstRowOf(piece);
        const int last = lastRowOf(piece, rows);
        BytesOut out(kRowSize * (last - first + 1));
        writeEntities(table, plan, first, last, out);
        return out.take();
    };
    BytesOut end(kPreambleSize);
    writeEnd(end);
    end.append(kLineEnd);
    return put(preamble.take()) && MakePiecesInOrder(pieceCount(rows), makeEntities, put) && put(end.take());
}
