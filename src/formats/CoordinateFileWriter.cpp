#include "CoordinateFileWriter.h"

#include "CoordinateFormats.h"
#include "FileText.h"
#include "PieceWork.h"
#include "core/CoordinateTableModel.h"

#include <QIODevice>
#include <algorithm>
#include <array>
#include <cstring>

namespace {
constexpr QChar kSeparator(u',');
constexpr char16_t kLineEnd[] = u"\r\n";
constexpr qsizetype kLineEndLength = 2;
// A file is made in pieces of this many rows, some hundred kilobytes each: pieces of that size are
// made and let go again without leaving the memory they took scattered.
constexpr int kPieceRows = 4096;

// Which table column each field of a line comes from.
struct LineLayout {
    std::array<int, 6> columns{};
    int fieldCount = 0;
};

LineLayout lineLayoutOf(const CoordinateFileLayout &layout, bool nez)
{
    LineLayout line;
    line.fieldCount = layout.fieldCount;
    for (int k = 0; k < layout.fieldCount; ++k) {
        int &column = line.columns[static_cast<size_t>(k)];
        switch (layout.fields[static_cast<size_t>(k)]) {
        case CoordinateFileLayout::Sequence:
            column = 0;
            break;
        case CoordinateFileLayout::Number:
            column = 1;
            break;
        case CoordinateFileLayout::Name:
            column = 2;
            break;
        case CoordinateFileLayout::North:
            column = nez ? 3 : 4;
            break;
        case CoordinateFileLayout::East:
            column = nez ? 4 : 3;
            break;
        case CoordinateFileLayout::Height:
            column = 5;
            break;
        }
    }
    return line;
}

// The table's third, fourth and fifth columns in the order shown, after number and name.
constexpr LineLayout kTableOrder{{1, 2, 3, 4, 5}, 5};
// A raw line is held as the row's only text, in column 0.
constexpr LineLayout kRawLine{{0}, 1};

// One line per row of first..last: the cells of the layout's columns joined by commas, then CR LF.
// The text is measured first and written in one allocation with spare units left over, so that the
// caller can append the file's final CR LF in place.
QString buildLines(const CoordinateTableModel &table, const LineLayout &layout, int first, int last,
                   qsizetype spare)
{
    qsizetype length = 0;
    for (int row = first; row <= last; ++row) {
        const auto cells = table.cellViews(row);
        length += layout.fieldCount - 1 + kLineEndLength;
        for (int k = 0; k < layout.fieldCount; ++k)
            length += cells[static_cast<size_t>(layout.columns[static_cast<size_t>(k)])].size();
    }
    QString text;
    if (length == 0)
        return text;
    text.reserve(length + spare);
    text.resize(length);
    QChar *out = text.data();
    for (int row = first; row <= last; ++row) {
        const auto cells = table.cellViews(row);
        for (int k = 0; k < layout.fieldCount; ++k) {
            if (k > 0)
                *out++ = kSeparator;
            const QStringView cell = cells[static_cast<size_t>(layout.columns[static_cast<size_t>(k)])];
            std::memcpy(static_cast<void *>(out), cell.data(),
                        static_cast<size_t>(cell.size()) * sizeof(QChar));
            out += cell.size();
        }
        std::memcpy(static_cast<void *>(out), kLineEnd, kLineEndLength * sizeof(QChar));
        out += kLineEndLength;
    }
    return text;
}

// The lines of every row, in the file's code page, made in pieces on all cores, then the final CR LF.
bool writeLinesFile(const CoordinateTableModel &table, const LineLayout &layout, QIODevice &device)
{
    const int rows = layout.fieldCount > 0 ? table.count() : 0;
    const auto make = [&](int piece) {
        const int first = piece * kPieceRows + 1;
        return EncodeFileText(buildLines(table, layout, first, std::min(rows, first + kPieceRows - 1), 0));
    };
    const auto put = [&](const QByteArray &bytes) { return device.write(bytes) == bytes.size(); };
    Gb18030ByteOrderMark mark;
    for (int row = 1; row <= rows; ++row) {
        const auto cells = table.cellViews(row);
        const auto told = [&](int k) {
            return mark.add(cells[static_cast<size_t>(layout.columns[size_t(k)])]);
        };
        int k = 0;
        while (k < layout.fieldCount && told(k))
            ++k;
        if (k < layout.fieldCount)
            break;
    }
    if (mark.needed() && !put(Gb18030ByteOrderMark::kBytes))
        return false;
    return MakePiecesInOrder((rows + kPieceRows - 1) / kPieceRows, make, put) &&
           put(QByteArrayLiteral("\r\n"));
}
} // namespace

QString BuildCoordinateText(const CoordinateTableModel &table, int format, bool nez)
{
    const CoordinateFormat *row = CoordinateFormats::find(format);
    if (row == nullptr)
        return {};
    if (row->build != nullptr)
        return row->build(table, nez);
    const LineLayout layout = lineLayoutOf(row->layout, nez);
    if (layout.fieldCount == 0)
        return {};
    return buildLines(table, layout, 1, table.count(), kLineEndLength);
}

QString BuildTableOrderText(const CoordinateTableModel &table)
{
    return buildLines(table, kTableOrder, 1, table.count(), kLineEndLength);
}

bool WriteCoordinateFile(const CoordinateTableModel &table, int format, bool nez, QIODevice &device)
{
    const CoordinateFormat *row = CoordinateFormats::find(format);
    if (row != nullptr && row->write != nullptr)
        return row->write(table, nez, device);
    return writeLinesFile(table, lineLayoutOf(row != nullptr ? row->layout : CoordinateFileLayout{}, nez),
                          device);
}

bool WriteTableOrderFile(const CoordinateTableModel &table, QIODevice &device)
{
    return writeLinesFile(table, kTableOrder, device);
}

bool WriteRawLinesFile(const CoordinateTableModel &table, QIODevice &device)
{
    return writeLinesFile(table, kRawLine, device);
}
