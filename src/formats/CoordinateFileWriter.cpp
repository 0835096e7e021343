#include "CoordinateFileWriter.h"

#include "CoordinateFileFormat.h"
#include "CoordinateFileLayout.h"
#include "DxfDrawing.h"
#include "core/CoordinateTableModel.h"

#include <array>
#include <cstring>

namespace {
constexpr QChar kSeparator(u',');
constexpr char16_t kLineEnd[] = u"\r\n";
constexpr qsizetype kLineEndLength = 2;

// One line per row: the cells of the given table columns joined by commas, then CR LF. The text is
// measured first and built in one allocation, with room for the CR LF the caller adds at the end.
QString buildLines(const CoordinateTableModel &table, const int *columns, int fieldCount)
{
    const int rows = table.count();
    qsizetype size = 0;
    for (int row = 1; row <= rows; ++row) {
        for (int k = 0; k < fieldCount; ++k)
            size += table.cellView(row, columns[k]).size();
        size += fieldCount - 1 + kLineEndLength;
    }
    QString text;
    if (size == 0)
        return text;
    text.reserve(size + kLineEndLength);
    text.resize(size);
    QChar *out = text.data();
    for (int row = 1; row <= rows; ++row) {
        for (int k = 0; k < fieldCount; ++k) {
            if (k > 0)
                *out++ = kSeparator;
            const QStringView cell = table.cellView(row, columns[k]);
            std::memcpy(static_cast<void *>(out), cell.data(),
                        static_cast<size_t>(cell.size()) * sizeof(QChar));
            out += cell.size();
        }
        std::memcpy(static_cast<void *>(out), kLineEnd, kLineEndLength * sizeof(QChar));
        out += kLineEndLength;
    }
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
