#include "CoordinateFileReader.h"

#include "CoordinateFileFormat.h"
#include "CoordinateFileLayout.h"
#include "FileText.h"

#include <algorithm>
#include <limits>

namespace {
// Empty lines and one-character lines are not data. A character outside the BMP is one character
// though it takes two UTF-16 units.
bool isShortLine(const QChar *line, qsizetype length)
{
    return length < 2 || (length == 2 && line[0].isHighSurrogate() && line[1].isLowSurrogate());
}

int positionOf(const CoordinateFileLayout &layout, CoordinateFileLayout::Field field)
{
    const auto begin = layout.fields.begin();
    return static_cast<int>(std::find(begin, begin + layout.fieldCount, field) - begin);
}

// An upper bound of the line count, so that the row list is allocated once.
qsizetype lineEndCount(const QString &text)
{
    qsizetype lineFeeds = 0;
    qsizetype carriageReturns = 0;
    for (const QChar c : text) {
        lineFeeds += c == u'\n';
        carriageReturns += c == u'\r';
    }
    return std::max(lineFeeds, carriageReturns) + 1;
}
} // namespace

CoordinateFileContent ReadCoordinateFile(const QByteArray &bytes, int format, bool nez)
{
    return ReadCoordinateText(DecodeFileText(bytes), format, nez);
}

CoordinateFileContent ReadCoordinateText(const QString &text, int format, bool nez)
{
    using Layout = CoordinateFileLayout;
    CoordinateFileContent content;
    content.m_nez = nez;
    if (!isCoordinateFileFormat(format))
        return content;
    content.m_text = text;
    content.m_rawLines = isRawLinesFormat(format);

    const Layout layout = Layout::read(format);
    content.m_fieldOfColumn = {positionOf(layout, Layout::Number), positionOf(layout, Layout::Name),
                               positionOf(layout, nez ? Layout::North : Layout::East),
                               positionOf(layout, nez ? Layout::East : Layout::North),
                               positionOf(layout, Layout::Height)};
    // The last field of the format runs to the end of the line and keeps any further commas.
    const int commasNeeded = content.m_rawLines ? 0 : layout.fieldCount - 1;

    const qsizetype bound = lineEndCount(text);
    if (content.m_rawLines)
        content.m_lines.reserve(static_cast<size_t>(bound));
    else
        content.m_rows.reserve(static_cast<size_t>(bound));

    const QChar *data = text.constData();
    const qsizetype size = text.size();
    qsizetype pos = 0;
    int lineNumber = 0;
    while (pos < size) {
        ++lineNumber;
        const qsizetype start = pos;
        CoordinateFileContent::Cuts cuts;
        cuts.start = start;
        int commas = 0;
        qsizetype i = start;
        for (; i < size; ++i) {
            const char16_t c = data[i].unicode();
            if (c == u',') {
                if (commas < commasNeeded && i - start <= std::numeric_limits<qint32>::max())
                    cuts.ends[static_cast<size_t>(commas++)] = static_cast<qint32>(i - start);
            } else if (c == u'\r' || c == u'\n') {
                break;
            }
        }
        const qsizetype length = i - start;
        pos = i;
        if (pos < size)
            pos += (data[pos] == u'\r' && pos + 1 < size && data[pos + 1] == u'\n') ? 2 : 1;

        if (isShortLine(data + start, length))
            continue;
        // Places are kept in 32 bits; a line of two thousand million characters is no coordinate line.
        const bool readable = length <= std::numeric_limits<qint32>::max() && commas == commasNeeded;
        if (!readable) {
            if (content.m_skippedLines++ == 0)
                content.m_firstSkippedLine = lineNumber;
            continue;
        }
        if (content.m_rawLines) {
            content.m_lines.emplace_back(start, static_cast<qint32>(length));
        } else {
            cuts.ends[static_cast<size_t>(commasNeeded)] = static_cast<qint32>(length);
            content.m_rows.push_back(cuts);
        }
    }
    // The bound was close unless many lines were not taken; only then is the spare room worth a copy.
    if (content.m_rows.size() < content.m_rows.capacity() / 2)
        content.m_rows.shrink_to_fit();
    if (content.m_lines.size() < content.m_lines.capacity() / 2)
        content.m_lines.shrink_to_fit();
    return content;
}
