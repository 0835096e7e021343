#include "CoordinateRows.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {
// A quarter of a megabyte a block: small next to a large table, large next to any row.
constexpr qsizetype kBlockLength = 1 << 17;
// The ends of a row's cells are kept in 32 bits.
constexpr qsizetype kMaxRowLength = std::numeric_limits<qint32>::max();
} // namespace

CoordinateRows::CoordinateRows(const CoordinateRows &other)
{
    m_rows.reserve(other.m_rows.size());
    for (int row = 0; row < other.count(); ++row)
        m_rows.push_back(store(other.cells(row)));
}

CoordinateRows &CoordinateRows::operator=(const CoordinateRows &other)
{
    if (this != &other)
        *this = CoordinateRows(other);
    return *this;
}

CoordinateRows::~CoordinateRows() = default;

CoordinateRows::Cells CoordinateRows::cells(int row) const
{
    Cells cells;
    if (row < 0 || row >= count())
        return cells;
    const Row &r = m_rows[static_cast<size_t>(row)];
    qint32 start = 0;
    for (int column = 0; column < kCells; ++column) {
        const qint32 end = r.ends[static_cast<size_t>(column)];
        cells[static_cast<size_t>(column)] = QStringView(r.text + start, end - start);
        start = end;
    }
    return cells;
}

QStringView CoordinateRows::cell(int row, int column) const
{
    if (row < 0 || row >= count() || column < 0 || column >= kCells)
        return {};
    const Row &r = m_rows[static_cast<size_t>(row)];
    const qint32 start = column == 0 ? 0 : r.ends[static_cast<size_t>(column - 1)];
    return QStringView(r.text + start, r.ends[static_cast<size_t>(column)] - start);
}

char16_t *CoordinateRows::room(qsizetype length)
{
    if (length > m_freeLength) {
        const qsizetype blockLength = std::max(kBlockLength, length);
        m_blocks.push_back(std::unique_ptr<char16_t[]>(new char16_t[static_cast<size_t>(blockLength)]));
        m_free = m_blocks.back().get();
        m_freeLength = blockLength;
    }
    char16_t *at = m_free;
    m_free += length;
    m_freeLength -= length;
    return at;
}

CoordinateRows::Row CoordinateRows::store(const Cells &cells)
{
    Row row{};
    qsizetype length = 0;
    std::array<qsizetype, kCells> lengths{};
    for (int column = 0; column < kCells; ++column) {
        // A row of two thousand million characters is cut; no file line or typed text comes near.
        lengths[static_cast<size_t>(column)] =
            std::min(cells[static_cast<size_t>(column)].size(), kMaxRowLength - length);
        length += lengths[static_cast<size_t>(column)];
    }
    char16_t *out = room(length);
    row.text = out;
    qint32 end = 0;
    for (int column = 0; column < kCells; ++column) {
        const qsizetype cellLength = lengths[static_cast<size_t>(column)];
        if (cellLength > 0) {
            std::memcpy(out + end, cells[static_cast<size_t>(column)].utf16(),
                        static_cast<size_t>(cellLength) * sizeof(char16_t));
        }
        end += static_cast<qint32>(cellLength);
        row.ends[static_cast<size_t>(column)] = end;
    }
    m_liveLength += length;
    return row;
}

void CoordinateRows::append(const Cells &cells)
{
    m_rows.push_back(store(cells));
}

void CoordinateRows::append(CoordinateRows &&other)
{
    // Into nothing held or reserved yet, the other's rows come over whole.
    if (m_rows.empty() && m_blocks.empty() && m_rows.capacity() < other.m_rows.size()) {
        *this = std::move(other);
        return;
    }
    m_rows.insert(m_rows.end(), other.m_rows.begin(), other.m_rows.end());
    std::move(other.m_blocks.begin(), other.m_blocks.end(), std::back_inserter(m_blocks));
    m_liveLength += other.m_liveLength;
    m_droppedLength += other.m_droppedLength;
    other = CoordinateRows();
}

void CoordinateRows::replace(int row, const Cells &cells)
{
    if (row < 0 || row >= count())
        return;
    Row &r = m_rows[static_cast<size_t>(row)];
    const qsizetype oldLength = lengthOf(r);
    r = store(cells);
    m_liveLength -= oldLength;
    dropped(oldLength);
}

void CoordinateRows::replaceCell(int row, int column, QStringView text)
{
    if (row < 0 || row >= count() || column < 0 || column >= kCells)
        return;
    Row &r = m_rows[static_cast<size_t>(row)];
    const size_t c = static_cast<size_t>(column);
    const qint32 begin = column == 0 ? 0 : r.ends[c - 1];
    const qint32 end = r.ends[c];
    if (text.size() > end - begin) {
        Cells cells = this->cells(row);
        cells[c] = text;
        replace(row, cells);
        return;
    }
    // The new text ends where the old one did; the cells before it move up against it, and the row
    // then starts later by the length given up.
    const qint32 shift = end - begin - static_cast<qint32>(text.size());
    char16_t *start = r.text;
    if (!text.isEmpty())
        std::memmove(start + end - text.size(), text.utf16(),
                     static_cast<size_t>(text.size()) * sizeof(char16_t));
    if (begin > 0 && shift > 0)
        std::memmove(start + shift, start, static_cast<size_t>(begin) * sizeof(char16_t));
    r.text = start + shift;
    for (size_t k = c; k < kCells; ++k)
        r.ends[k] -= shift;
    m_liveLength -= shift;
    dropped(shift);
}

void CoordinateRows::remove(int row)
{
    if (row < 0 || row >= count())
        return;
    const qsizetype length = lengthOf(m_rows[static_cast<size_t>(row)]);
    m_rows.erase(m_rows.begin() + row);
    m_liveLength -= length;
    dropped(length);
}

void CoordinateRows::clear()
{
    *this = CoordinateRows();
}

void CoordinateRows::dropped(qsizetype length)
{
    m_droppedLength += length;
    if (m_droppedLength > m_liveLength && m_droppedLength > 4 * kBlockLength)
        *this = CoordinateRows(*this);
}
