#include "DrawingScan.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <string_view>

namespace {

using Text = std::string_view;

constexpr Text kBinaryMark("AutoCAD Binary DXF");
constexpr Text kUtf8Mark("\xEF\xBB\xBF");

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

Text trimmed(Text text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// A DWG begins with its version, "AC1015" and the like ("AC2.10" in the oldest), in binary.
bool isDwg(Text bytes)
{
    if (bytes.size() < 6 || bytes.substr(0, 2) != "AC")
        return false;
    for (char c : bytes.substr(2, 4)) {
        if (!isDigit(c) && c != '.')
            return false;
    }
    return true;
}

// A group code: an integer of up to four digits (the codes run to 1071), an optional minus before it.
bool readCode(Text line, int *code)
{
    line = trimmed(line);
    bool negative = false;
    if (!line.empty() && line.front() == '-') {
        negative = true;
        line.remove_prefix(1);
    }
    if (line.empty() || line.size() > 4)
        return false;
    int value = 0;
    for (char c : line) {
        if (!isDigit(c))
            return false;
        value = value * 10 + (c - '0');
    }
    *code = negative ? -value : value;
    return true;
}

// A real: optional sign, digits with an optional point (at least one digit), an optional exponent.
bool isReal(Text value)
{
    value = trimmed(value);
    size_t at = 0;
    if (at < value.size() && (value[at] == '-' || value[at] == '+'))
        ++at;
    size_t digits = 0;
    while (at < value.size() && isDigit(value[at])) {
        ++at;
        ++digits;
    }
    if (at < value.size() && value[at] == '.') {
        ++at;
        while (at < value.size() && isDigit(value[at])) {
            ++at;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (at < value.size() && (value[at] == 'e' || value[at] == 'E')) {
        ++at;
        if (at < value.size() && (value[at] == '-' || value[at] == '+'))
            ++at;
        const size_t exponentStart = at;
        while (at < value.size() && isDigit(value[at]))
            ++at;
        if (at == exponentStart)
            return false;
    }
    return at == value.size();
}

bool isInteger(Text value)
{
    value = trimmed(value);
    if (!value.empty() && (value.front() == '-' || value.front() == '+'))
        value.remove_prefix(1);
    if (value.empty())
        return false;
    for (char c : value) {
        if (!isDigit(c))
            return false;
    }
    return true;
}

// Reals are the codes 10..59 (coordinates, heights, scales, angles); 60..99 are integers (colour,
// paper space, the attributes-follow flag, justifications).
bool valueFits(int code, Text value)
{
    if (code >= 10 && code <= 59)
        return isReal(value);
    if (code >= 60 && code <= 99)
        return isInteger(value);
    return true;
}

// The entities kept, and of each the group codes the import reads: where it stands, its height, its
// text, block name or attribute tag, justification, paper space.
struct KeptEntity {
    Text type;
    std::initializer_list<int> codes;
};
const KeptEntity kKept[] = {
    {"POINT", {10, 20, 30, 67}},
    {"INSERT", {2, 10, 20, 30, 67}},
    {"ATTRIB", {1, 2, 67}},
    {"SEQEND", {}},
    {"TEXT", {1, 10, 20, 11, 21, 40, 67, 72, 73}},
    {"MTEXT", {1, 3, 10, 20, 40, 67}},
    {"BLOCK", {2}},
    {"ENDBLK", {}},
};

const KeptEntity *keptEntity(Text type)
{
    for (const KeptEntity &kept : kKept) {
        if (type == kept.type)
            return &kept;
    }
    return nullptr;
}

bool isKeptCode(const KeptEntity &entity, int code)
{
    for (int kept : entity.codes) {
        if (kept == code)
            return true;
    }
    return false;
}

// The lines of the file one at a time, without their CR LF or LF.
class Lines {
public:
    Lines(const char *begin, const char *end) : m_at(begin), m_end(end) {}
    bool next(Text *line)
    {
        if (m_at >= m_end)
            return false;
        const char *lineEnd = static_cast<const char *>(std::memchr(m_at, '\n', size_t(m_end - m_at)));
        const char *next = lineEnd ? lineEnd + 1 : m_end;
        if (!lineEnd)
            lineEnd = m_end;
        if (lineEnd > m_at && lineEnd[-1] == '\r')
            --lineEnd;
        *line = Text(m_at, size_t(lineEnd - m_at));
        m_at = next;
        ++m_number;
        return true;
    }
    int number() const { return m_number; }

private:
    const char *m_at;
    const char *m_end;
    int m_number = 0;
};

} // namespace

DrawingScan::DrawingScan(const QByteArray &bytes)
{
    const Text all(bytes.constData(), size_t(bytes.size()));
    if (all.substr(0, kBinaryMark.size()) == kBinaryMark) {
        m_kind = Kind::BinaryDrawing;
        return;
    }
    if (isDwg(all)) {
        m_kind = Kind::Dwg;
        return;
    }
    const char *begin = bytes.constData();
    if (all.substr(0, kUtf8Mark.size()) == kUtf8Mark)
        begin += kUtf8Mark.size();
    scan(begin, bytes.constData() + bytes.size());
    if (m_kind != Kind::Drawing) {
        m_entities.clear();
        m_pieceStarts.clear();
    }
}

void DrawingScan::damaged(int line)
{
    m_kind = Kind::Damaged;
    m_damagedLine = line;
}

void DrawingScan::scan(const char *begin, const char *end)
{
    enum class Section { None, Header, Kept, Other };
    Lines lines(begin, end);
    // A pair kept is never longer than it was in the file (its code without blanks), and the pair
    // 0 EOF ends both.
    m_entities.resize(end - begin + 8);
    char *out = m_entities.data();
    const auto keep = [&out](int code, Text value) {
        char digits[8];
        int length = 0;
        do {
            digits[length++] = char('0' + code % 10);
            code /= 10;
        } while (code > 0);
        while (length > 0)
            *out++ = digits[--length];
        *out++ = '\n';
        const size_t kept = std::min<size_t>(value.size(), kLongestValue);
        std::memcpy(out, value.data(), kept);
        out += kept;
        *out++ = '\n';
    };
    const auto pieceMayStart = [&] {
        const qsizetype at = out - m_entities.constData();
        if (at - m_pieceStarts.back() >= kPieceSize)
            m_pieceStarts.push_back(at);
    };
    m_pieceStarts.assign(1, 0);

    Section section = Section::None;
    bool first = true;
    const KeptEntity *keeping = nullptr; // the entity at hand, when it is kept
    bool inBlock = false;
    Text headerVariable; // the header variable whose value comes next
    Text codeLine;
    Text value;
    while (lines.next(&codeLine)) {
        int code = 0;
        if (!readCode(codeLine, &code)) {
            if (first)
                return; // not a drawing
            damaged(lines.number());
            return;
        }
        if (!lines.next(&value)) {
            if (first)
                return;
            damaged(lines.number() + 1);
            return;
        }
        if (code == 999)
            continue; // a comment
        if (first) {
            first = false;
            if (code != 0 || trimmed(value) != "SECTION")
                return; // not a drawing
        }
        if (code == 0) {
            const Text type = trimmed(value);
            keeping = nullptr;
            if (type == "EOF") {
                if (section != Section::None) {
                    damaged(lines.number());
                    return;
                }
                keep(0, type);
                m_entities.truncate(out - m_entities.constData());
                m_kind = Kind::Drawing;
                return;
            }
            if (type == "SECTION") {
                if (section != Section::None) {
                    damaged(lines.number());
                    return;
                }
                Text nameCode;
                Text name;
                int nameGroup = 0;
                if (!lines.next(&nameCode) || !readCode(nameCode, &nameGroup) || nameGroup != 2 ||
                    !lines.next(&name)) {
                    damaged(lines.number());
                    return;
                }
                name = trimmed(name);
                section = name == "HEADER"                         ? Section::Header
                          : name == "ENTITIES" || name == "BLOCKS" ? Section::Kept
                                                                   : Section::Other;
                continue;
            }
            if (type == "ENDSEC") {
                if (section == Section::None) {
                    damaged(lines.number());
                    return;
                }
                section = Section::None;
                continue;
            }
            if (section == Section::None) {
                damaged(lines.number());
                return;
            }
            keeping = section == Section::Kept ? keptEntity(type) : nullptr;
            if (!keeping)
                continue;
            // A piece begins with an entity outside the blocks that is not part of a block reference.
            if (type == "BLOCK")
                inBlock = true;
            else if (!inBlock && type != "ATTRIB" && type != "SEQEND")
                pieceMayStart();
            else if (type == "ENDBLK")
                inBlock = false;
            keep(0, type);
            continue;
        }
        if (section == Section::None) {
            damaged(lines.number());
            return;
        }
        if (section == Section::Header) {
            if (code == 9) {
                headerVariable = trimmed(value);
            } else if (headerVariable == "$ACADVER" && code == 1) {
                const Text v = trimmed(value);
                m_version = QByteArray(v.data(), qsizetype(v.size()));
            } else if (headerVariable == "$DWGCODEPAGE" && code == 3) {
                const Text v = trimmed(value);
                m_codePage = QByteArray(v.data(), qsizetype(v.size()));
            }
            continue;
        }
        if (keeping) {
            if (!valueFits(code, value)) {
                damaged(lines.number());
                return;
            }
            if (isKeptCode(*keeping, code))
                keep(code, value);
        }
    }
    // The end of the file came before its EOF (an empty file is no drawing).
    if (!first)
        damaged(lines.number() + 1);
}
