#include "CoordinateFileContent.h"

#include "core/CoordinateTableModel.h"

namespace {
// Rows reach the table in batches: each batch is one insertion for an attached view, and the
// points of a batch refer to the text without copying it, so each text is copied once, into the table.
constexpr int kBatchRows = 16384;
// Room for the decimal digits of any row number.
constexpr int kSequenceWidth = 11;

QString rawString(QStringView view)
{
    return QString::fromRawData(view.data(), view.size());
}

// Writes the decimal digits of a positive number ending at end; returns where they begin.
QChar *writeDecimal(QChar *end, int number)
{
    do {
        *--end = QChar(u'0' + number % 10);
        number /= 10;
    } while (number > 0);
    return end;
}
} // namespace

int CoordinateFileContent::count() const
{
    return static_cast<int>(m_rawLines ? m_lines.size() : m_rows.size());
}

std::array<QStringView, 5> CoordinateFileContent::fieldViews(const Cuts &cuts) const
{
    std::array<QStringView, 5> views;
    const QStringView line = QStringView(m_text).mid(cuts.start);
    for (size_t column = 0; column < views.size(); ++column) {
        const int field = m_fieldOfColumn[column];
        const qint32 begin = field == 0 ? 0 : cuts.ends[static_cast<size_t>(field - 1)] + 1;
        views[column] = line.mid(begin, cuts.ends[static_cast<size_t>(field)] - begin);
    }
    return views;
}

CoordinatePoint CoordinateFileContent::row(int index) const
{
    if (m_rawLines || index < 1 || index > count())
        return {};
    const auto views = fieldViews(m_rows[static_cast<size_t>(index - 1)]);
    return {QString::number(index), views[0].toString(), views[1].toString(),
            views[2].toString(),    views[3].toString(), views[4].toString()};
}

std::vector<CoordinatePoint> CoordinateFileContent::rows() const
{
    std::vector<CoordinatePoint> points;
    if (m_rawLines)
        return points;
    points.reserve(m_rows.size());
    for (int index = 1; index <= count(); ++index)
        points.push_back(row(index));
    return points;
}

QString CoordinateFileContent::line(int index) const
{
    if (!m_rawLines || index < 1 || index > count())
        return {};
    const auto &[start, length] = m_lines[static_cast<size_t>(index - 1)];
    return m_text.mid(start, length);
}

QStringList CoordinateFileContent::lines() const
{
    QStringList result;
    if (!m_rawLines)
        return result;
    result.reserve(count());
    for (int index = 1; index <= count(); ++index)
        result.append(line(index));
    return result;
}

void CoordinateFileContent::replaceTable(CoordinateTableModel &table) const
{
    if (m_rawLines)
        table.clear();
    else
        table.buildColumns(m_nez);

    std::vector<CoordinatePoint> batch;
    const size_t batchRows = static_cast<size_t>(std::min(count(), kBatchRows));
    batch.reserve(batchRows);
    std::vector<QChar> sequences(batchRows * kSequenceWidth);
    const int total = count();
    for (int first = 1; first <= total; first += kBatchRows) {
        const int last = std::min(total, first + kBatchRows - 1);
        batch.clear();
        for (int index = first; index <= last; ++index) {
            CoordinatePoint point;
            if (m_rawLines) {
                const auto &[start, length] = m_lines[static_cast<size_t>(index - 1)];
                point.sequence = rawString(QStringView(m_text).mid(start, length));
            } else {
                QChar *end = sequences.data() + static_cast<size_t>(index - first + 1) * kSequenceWidth;
                const QChar *digits = writeDecimal(end, index);
                point.sequence = QString::fromRawData(digits, end - digits);
                const auto views = fieldViews(m_rows[static_cast<size_t>(index - 1)]);
                point.number = rawString(views[0]);
                point.name = rawString(views[1]);
                point.first = rawString(views[2]);
                point.second = rawString(views[3]);
                point.height = rawString(views[4]);
            }
            batch.push_back(std::move(point));
        }
        table.append(batch);
    }
}
