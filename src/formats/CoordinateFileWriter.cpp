#include "CoordinateFileWriter.h"

#include "CoordinateFileFormat.h"
#include "CoordinateFileLayout.h"
#include "DxfDrawing.h"
#include "core/CoordinateTableModel.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {
constexpr QChar kSeparator(u',');
constexpr char16_t kLineEnd[] = u"\r\n";
constexpr qsizetype kLineEndLength = 2;

// Rows sampled at the start to guess the length of the whole text.
constexpr int kSampleRows = 256;

// One line per row: the cells of the given table columns joined by commas, then CR LF. The text is
// written in place in one allocation that grows (by reallocation, without copying on this system's
// allocator) only when the guessed length was short; there is always room left for the CR LF the
// caller adds at the end.
QString buildLines(const CoordinateTableModel &table, const int *columns, int fieldCount)
{
    const int rows = table.count();
    QString text;
    if (rows == 0)
        return text;

    std::array<QStringView, 6> cells;
    const auto lineLength = [&] {
        qsizetype length = fieldCount - 1 + kLineEndLength;
        for (int k = 0; k < fieldCount; ++k)
            length += cells[static_cast<size_t>(k)].size();
        return length;
    };
    const auto takeCells = [&](int row) {
        const auto views = table.cellViews(row);
        for (int k = 0; k < fieldCount; ++k)
            cells[static_cast<size_t>(k)] = views[static_cast<size_t>(columns[k])];
    };

    const int sampled = std::min(rows, kSampleRows);
    qsizetype sample = 0;
    for (int row = 1; row <= sampled; ++row) {
        takeCells(row);
        sample += lineLength();
    }
    text.resize(sample / sampled * rows + sample / sampled * rows / 16 + kLineEndLength);

    qsizetype used = 0;
    for (int row = 1; row <= rows; ++row) {
        takeCells(row);
        const qsizetype needed = used + lineLength() + kLineEndLength;
        if (needed > text.size())
            text.resize(std::max(needed, text.size() + text.size() / 2));
        QChar *out = text.data() + used;
        for (int k = 0; k < fieldCount; ++k) {
            if (k > 0)
                *out++ = kSeparator;
            const QStringView cell = cells[static_cast<size_t>(k)];
            std::memcpy(static_cast<void *>(out), cell.data(),
                        static_cast<size_t>(cell.size()) * sizeof(QChar));
            out += cell.size();
        }
        std::memcpy(static_cast<void *>(out), kLineEnd, kLineEndLength * sizeof(QChar));
        used = out + kLineEndLength - text.constData();
    }
    text.resize(used);
    return text;
}
} // namespace

QString BuildCoordinateText(const CoordinateTableModel &table, int format, bool nez)
{
    if (format == CadDrawing)
        return BuildDxfDrawing(table, nez);
    const CoordinateFileLayout layout = CoordinateFileLayout::written(format);
    if (layout.fieldCount == 0)
        return {};
    std::array<int, 6> columns{};
    for (int k = 0; k < layout.fieldCount; ++k) {
        switch (layout.fields[static_cast<size_t>(k)]) {
        case CoordinateFileLayout::Sequence:
            columns[static_cast<size_t>(k)] = 0;
            break;
        case CoordinateFileLayout::Number:
            columns[static_cast<size_t>(k)] = 1;
            break;
        case CoordinateFileLayout::Name:
            columns[static_cast<size_t>(k)] = 2;
            break;
        case CoordinateFileLayout::North:
            columns[static_cast<size_t>(k)] = nez ? 3 : 4;
            break;
        case CoordinateFileLayout::East:
            columns[static_cast<size_t>(k)] = nez ? 4 : 3;
            break;
        case CoordinateFileLayout::Height:
            columns[static_cast<size_t>(k)] = 5;
            break;
        }
    }
    return buildLines(table, columns.data(), layout.fieldCount);
}

QString BuildTableOrderText(const CoordinateTableModel &table)
{
    static constexpr int kShownOrder[] = {1, 2, 3, 4, 5};
    return buildLines(table, kShownOrder, 5);
}

QString BuildRawLinesText(const CoordinateTableModel &table)
{
    // A raw line is held as the row's only text, in column 0.
    static constexpr int kLineColumn[] = {0};
    return buildLines(table, kLineColumn, 1);
}
