#pragma once

#include <QByteArray>
#include <vector>

// The first look at the bytes of a file chosen as a drawing: what kind of file it is, whether its
// group structure holds from the first pair to the end of file, and the pairs the point import reads.
//
// A DXF drawing in text is a list of pairs of lines, a group code (an integer, with or without blanks
// around it) and its value, lines ended by LF or CR LF. The scan keeps the header's version and code
// page, and the entities of the blocks and of the entities section that can be points or their labels
// (POINT, INSERT with its ATTRIBs and SEQEND, TEXT, MTEXT, and the BLOCK and ENDBLK around them),
// with the pairs of theirs the import reads, each written anew as "code\nvalue\n", the value as it
// stands but no longer than a line the reader takes. The kept pairs are cut into pieces that can be
// read apart: each begins with an entity outside the blocks that is no block reference's attribute. A drawing
// that ends before its EOF, a group code that is no integer and a coordinate that is no number make the
// drawing damaged; the pairs kept are then of no use.
class DrawingScan {
public:
    enum class Kind {
        Drawing,       // a DXF drawing in text, whole
        BinaryDrawing, // a DXF drawing in the binary form
        Dwg,           // a drawing in the CAD program's own binary format
        NotADrawing,   // neither: no group structure from the first line on
        Damaged,       // a DXF drawing whose structure breaks off at damagedLine()
    };

    explicit DrawingScan(const QByteArray &bytes);

    Kind kind() const { return m_kind; }
    // The 1-based line of the file where a damaged drawing's structure breaks.
    int damagedLine() const { return m_damagedLine; }
    // $ACADVER (AC1009 ... AC1032) and $DWGCODEPAGE (ANSI_936 ...), empty when the header has none.
    const QByteArray &version() const { return m_version; }
    const QByteArray &codePage() const { return m_codePage; }
    // The pairs kept, ended by the pair 0 EOF.
    const QByteArray &entities() const { return m_entities; }
    // Where in entities() each piece begins, the first at 0; a piece ends where the next begins, the
    // last at the end.
    const std::vector<qsizetype> &pieceStarts() const { return m_pieceStarts; }

    // The longest value a kept line holds; a longer one is cut there (no label is that long).
    static constexpr int kLongestValue = 1000;
    // The least size of a piece in bytes.
    static constexpr qsizetype kPieceSize = 256 * 1024;

private:
    void scan(const char *begin, const char *end);
    void damaged(int line);

    Kind m_kind = Kind::NotADrawing;
    int m_damagedLine = 0;
    QByteArray m_version;
    QByteArray m_codePage;
    QByteArray m_entities;
    std::vector<qsizetype> m_pieceStarts;
};
