#include "CoordinateFileReader.h"

#include "CoordinateFormats.h"
#include "FileTextDecoder.h"
#include "PieceWork.h"
#include "core/NumericText.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

namespace {
// A large file is cut in pieces of about this many bytes, each ending at a line end, one core taking
// a piece at a time; a piece is decoded in parts of about kPartBytes, so no large text is held.
constexpr qsizetype kPieceBytes = 2 << 20;
constexpr qsizetype kPartBytes = 64 << 10;

// Each row's own number is known only when the rows of every piece before it are counted; until
// then its cell holds room for the longest number.
constexpr char16_t kNumberRoom[kRowNumberMaxLength] = {u' ', u' ', u' ', u' ', u' ',
                                                       u' ', u' ', u' ', u' ', u' '};

// Empty lines and one-character lines are not data. A character outside the BMP is one character
// though it takes two UTF-16 units.
bool isShortLine(const char16_t *line, qsizetype length)
{
    return length < 2 || (length == 2 && QChar::isHighSurrogate(line[0]) && QChar::isLowSurrogate(line[1]));
}

// An upper bound of the line count of a text or its bytes, so that the row list is allocated once.
template <class Text> qsizetype lineEndCount(const Text &text)
{
    qsizetype lineFeeds = 0;
    qsizetype carriageReturns = 0;
    for (const auto c : text) {
        lineFeeds += c == '\n';
        carriageReturns += c == '\r';
    }
    return std::max(lineFeeds, carriageReturns) + 1;
}

int positionOf(const CoordinateFileLayout &layout, CoordinateFileLayout::Field field)
{
    const auto begin = layout.fields.begin();
    return static_cast<int>(std::find(begin, begin + layout.fieldCount, field) - begin);
}

// How the lines of one format are cut into the table's cells.
struct Cutting {
    bool rawLines = false;
    int commasNeeded = 0;               // the last field of a format runs to the end of the line
    std::array<int, 5> fieldOfColumn{}; // for columns 1..5, the field's position in the line
};

Cutting cuttingOf(const CoordinateFormat &format, bool nez)
{
    using Layout = CoordinateFileLayout;
    const Layout &layout = format.layout;
    Cutting cutting;
    cutting.rawLines = format.reading == CoordinateFormat::AsRawLines;
    cutting.commasNeeded = cutting.rawLines ? 0 : layout.fieldCount - 1;
    cutting.fieldOfColumn = {positionOf(layout, Layout::Number), positionOf(layout, Layout::Name),
                             positionOf(layout, nez ? Layout::North : Layout::East),
                             positionOf(layout, nez ? Layout::East : Layout::North),
                             positionOf(layout, Layout::Height)};
    return cutting;
}

// What the lines of one piece of a file give.
struct PieceRows {
    CoordinateRows rows;
    int lines = 0; // every line, data or not
    int skippedLines = 0;
    int firstSkippedLine = 0; // counted from the piece's first line
};

// Cuts every line of text, which begins at the start of a line.
void cutLines(QStringView text, const Cutting &cutting, PieceRows &piece)
{
    const char16_t *data = text.utf16();
    const qsizetype size = text.size();
    qsizetype pos = 0;
    while (pos < size) {
        ++piece.lines;
        const qsizetype start = pos;
        // Where each field ends (a comma or the end of the line), counted from the start of the line;
        // field k begins just after the end of k-1.
        std::array<qsizetype, 6> ends{};
        int commas = 0;
        qsizetype i = start;
        for (; i < size; ++i) {
            const char16_t c = data[i];
            // Digits, points, signs and letters all stand above the comma.
            if (c > u',')
                continue;
            if (c == u',') {
                if (commas < cutting.commasNeeded)
                    ends[static_cast<size_t>(commas++)] = i - start;
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
        // Rows keep their places in 32 bits; a line of two thousand million characters is no
        // coordinate line.
        const bool readable = length <= std::numeric_limits<qint32>::max() - kRowNumberMaxLength &&
                              commas == cutting.commasNeeded;
        if (!readable) {
            if (piece.skippedLines++ == 0)
                piece.firstSkippedLine = piece.lines;
            continue;
        }
        const QStringView line = text.mid(start, length);
        if (cutting.rawLines) {
            piece.rows.append({line, {}, {}, {}, {}, {}});
            continue;
        }
        ends[static_cast<size_t>(cutting.commasNeeded)] = length;
        CoordinateRows::Cells cells;
        cells[0] = QStringView(kNumberRoom, kRowNumberMaxLength);
        for (size_t column = 1; column < cells.size(); ++column) {
            const int field = cutting.fieldOfColumn[column - 1];
            const qsizetype begin = field == 0 ? 0 : ends[static_cast<size_t>(field - 1)] + 1;
            cells[column] = line.mid(begin, ends[static_cast<size_t>(field)] - begin);
        }
        piece.rows.append(cells);
    }
}

// Where the pieces of bytes begin: about step apart, each just after a line end (a CR LF pair is never
// parted).
std::vector<qsizetype> pieceStarts(QByteArrayView bytes, qsizetype step)
{
    std::vector<qsizetype> starts{0};
    const char *data = bytes.data();
    const qsizetype size = bytes.size();
    for (qsizetype pos = step; pos < size; pos = starts.back() + step) {
        while (pos < size && data[pos] != '\r' && data[pos] != '\n')
            ++pos;
        if (pos < size && data[pos] == '\r' && pos + 1 < size && data[pos + 1] == '\n')
            ++pos;
        if (++pos >= size)
            break;
        starts.push_back(pos);
    }
    return starts;
}

} // namespace

// Builds a content from the pieces of a text, cut and numbered on every core.
struct CoordinateFileReading {
    static CoordinateFileContent content(std::vector<PieceRows> &pieces, const Cutting &cutting, bool nez)
    {
        CoordinateFileContent content;
        content.m_nez = nez;
        content.m_rawLines = cutting.rawLines;
        std::vector<int> firstRows(pieces.size());
        int rows = 0;
        int lines = 0;
        for (size_t k = 0; k < pieces.size(); ++k) {
            const PieceRows &piece = pieces[k];
            firstRows[k] = rows + 1;
            if (piece.skippedLines > 0 && content.m_skippedLines == 0)
                content.m_firstSkippedLine = lines + piece.firstSkippedLine;
            content.m_skippedLines += piece.skippedLines;
            rows += piece.rows.count();
            lines += piece.lines;
        }
        if (!cutting.rawLines) {
            ForEachPiece(static_cast<int>(pieces.size()), [&](int k) {
                CoordinateRows &pieceRows = pieces[static_cast<size_t>(k)].rows;
                char16_t digits[kRowNumberMaxLength];
                for (int row = 0; row < pieceRows.count(); ++row) {
                    const char16_t *first =
                        WriteRowNumber(firstRows[static_cast<size_t>(k)] + row, std::end(digits));
                    pieceRows.replaceCell(row, 0, QStringView(first, std::end(digits)));
                }
            });
        }
        content.m_rows.reserve(rows);
        for (PieceRows &piece : pieces)
            content.m_rows.append(std::move(piece.rows));
        return content;
    }
};

CoordinateFileContent ReadCoordinateFile(QByteArray bytes, int format, bool nez)
{
    const CoordinateFormat *row = CoordinateFormats::find(format);
    if (row == nullptr)
        return ReadCoordinateText(QString(), format, nez);
    const Cutting cutting = cuttingOf(*row, nez);
    qsizetype textStart = 0;
    const bool utf8 = FileTextDecoder::isUtf8(bytes, &textStart);
    const QByteArrayView text = QByteArrayView(bytes).sliced(textStart);
    const std::vector<qsizetype> starts = pieceStarts(text, kPieceBytes);
    std::vector<PieceRows> pieces(starts.size());
    ForEachPiece(static_cast<int>(starts.size()), [&](int k) {
        const size_t piece = static_cast<size_t>(k);
        const qsizetype end = piece + 1 < starts.size() ? starts[piece + 1] : text.size();
        const QByteArrayView pieceBytes = text.sliced(starts[piece], end - starts[piece]);
        pieces[piece].rows.reserve(lineEndCount(pieceBytes));
        FileTextDecoder decoder(utf8);
        std::vector<char16_t> partText;
        const std::vector<qsizetype> partStarts = pieceStarts(pieceBytes, kPartBytes);
        for (size_t part = 0; part < partStarts.size(); ++part) {
            const qsizetype partEnd = part + 1 < partStarts.size() ? partStarts[part + 1] : pieceBytes.size();
            partText.resize(static_cast<size_t>(partEnd - partStarts[part]));
            const char16_t *partTextEnd = decoder.decode(pieceBytes.data() + partStarts[part],
                                                         pieceBytes.data() + partEnd, partText.data());
            QStringView view(partText.data(), partTextEnd);
            // GB18030 has a byte-order mark of its own (84 31 95 33).
            if (k == 0 && part == 0 && !utf8 && view.startsWith(QChar(0xFEFF)))
                view = view.mid(1);
            cutLines(view, cutting, pieces[piece]);
        }
    });
    bytes = QByteArray();
    return CoordinateFileReading::content(pieces, cutting, nez);
}

CoordinateFileContent ReadCoordinateText(const QString &text, int format, bool nez)
{
    std::vector<PieceRows> pieces(1);
    const CoordinateFormat *row = CoordinateFormats::find(format);
    Cutting cutting;
    if (row != nullptr) {
        cutting = cuttingOf(*row, nez);
        pieces.front().rows.reserve(lineEndCount(QStringView(text)));
        cutLines(text, cutting, pieces.front());
    }
    return CoordinateFileReading::content(pieces, cutting, nez);
}
