#include "DrawingImport.h"

#include "DrawingEntityCollector.h"
#include "DrawingPointRules.h"
#include "DrawingScan.h"
#include "PieceWork.h"

#include <atomic>
#include <dl_dxf.h>
#include <exception>
#include <istream>
#include <iterator>
#include <streambuf>

namespace {

// The kept pairs as the stream dxflib reads, without a copy.
class BytesBuffer : public std::streambuf {
public:
    explicit BytesBuffer(const QByteArray &bytes)
    {
        char *begin = const_cast<char *>(bytes.constData());
        setg(begin, begin, begin + bytes.size());
    }
};

std::string_view viewOf(const QByteArray &bytes)
{
    return std::string_view(bytes.constData(), size_t(bytes.size()));
}

} // namespace

DrawingImport DrawingImport::read(const QByteArray &bytes, bool nez)
{
    DrawingImport result;
    const DrawingScan scan(bytes);
    switch (scan.kind()) {
    case DrawingScan::Kind::Drawing:
        break;
    case DrawingScan::Kind::BinaryDrawing:
        result.m_problem = Problem::BinaryDrawing;
        return result;
    case DrawingScan::Kind::Dwg:
        result.m_problem = Problem::Dwg;
        return result;
    case DrawingScan::Kind::NotADrawing:
        result.m_problem = Problem::NotADrawing;
        return result;
    case DrawingScan::Kind::Damaged:
        result.m_problem = Problem::Damaged;
        result.m_damagedLine = scan.damagedLine();
        return result;
    }

    // The pieces are read on all cores, each by a reader of its own, and joined in order.
    const DrawingText::Encoding encoding =
        DrawingText::encodingOf(viewOf(scan.version()), viewOf(scan.codePage()));
    const std::vector<qsizetype> &starts = scan.pieceStarts();
    const int pieces = int(starts.size());
    std::vector<DrawingEntities> pieceEntities(static_cast<size_t>(pieces));
    std::atomic<bool> failed = false;
    ForEachPiece(pieces, [&](int piece) {
        const qsizetype start = starts[size_t(piece)];
        const qsizetype end = piece + 1 < pieces ? starts[size_t(piece) + 1] : scan.entities().size();
        try {
            QByteArray bytes = scan.entities().mid(start, end - start);
            if (piece + 1 < pieces)
                bytes.append("0\nEOF\n");
            DrawingEntityCollector collector(encoding);
            BytesBuffer buffer(bytes);
            std::istream stream(&buffer);
            DL_Dxf dxf;
            dxf.in(stream, &collector);
            pieceEntities[size_t(piece)] = collector.take();
        } catch (const std::exception &) {
            // What the scan let through and the reader still could not take (no memory for it).
            failed = true;
        }
    });
    if (failed) {
        result.m_problem = Problem::Damaged;
        return result;
    }
    DrawingEntities entities;
    for (DrawingEntities &piece : pieceEntities) {
        const qsizetype pointsBefore = qsizetype(entities.points.size());
        for (DrawingLabel &label : piece.labels)
            label.pointsBefore += pointsBefore;
        std::move(piece.points.begin(), piece.points.end(), std::back_inserter(entities.points));
        std::move(piece.labels.begin(), piece.labels.end(), std::back_inserter(entities.labels));
        piece = DrawingEntities();
    }
    if (entities.points.empty()) {
        result.m_problem = Problem::NoPoints;
        return result;
    }
    result.m_rows = DrawingPointRules::rowsOf(entities, nez);
    return result;
}

QString DrawingImport::problemText() const
{
    switch (m_problem) {
    case Problem::None:
        return {};
    case Problem::BinaryDrawing:
        return QStringLiteral("这是二进制格式的DXF图形，只能导入文本(ASCII)格式的DXF图形。"
                              "请在CAD程序中把图形另存为文本格式的DXF文件后再导入。");
    case Problem::Dwg:
        return QStringLiteral("这是DWG格式的图形，只能导入DXF格式的图形。"
                              "请在CAD程序中把图形另存为DXF格式（文本格式）后再导入。");
    case Problem::NotADrawing:
        return QStringLiteral("这个文件不是DXF图形，无法导入点。请选择CAD程序保存的DXF格式的图形文件。");
    case Problem::Damaged:
        return QStringLiteral("图形文件已损坏%1，未导入任何点，列表未改变。"
                              "请在CAD程序中重新打开图形，另存为DXF格式后再导入。")
            .arg(m_damagedLine > 0 ? QStringLiteral("（第%1行起无法读取）").arg(m_damagedLine) : QString());
    case Problem::NoPoints:
        return QStringLiteral("图形的模型空间中没有点（点对象或图块），未导入任何点，列表未改变。");
    }
    return {};
}
