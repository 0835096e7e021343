#pragma once

// GB18030 text both ways on the program's own mapping, byte for byte as Debian's converter (ICU)
// gives it, on every system:
// - a byte that begins no character (80, FF), and a lead byte whose following bytes make no
//   character, become U+FFFD each; the bytes after such a lead are read again on their own, except
//   FF right after the lead, which goes with it;
// - a well-formed four-byte character that stands for nothing becomes one U+FFFD;
// - a character cut short by the end of the bytes is read as if a line end followed;
// - a surrogate that is not half of a pair is written as the substitute byte 1A.
class Gb18030Codec {
public:
    // The most bytes a UTF-16 unit takes, and the most units a byte gives.
    static constexpr int kMaxBytesPerUnit = 4;
    static constexpr int kMaxUnitsPerByte = 1;

    // Writes the text of [begin, end) to out and returns the end of what it wrote.
    static char16_t *decode(const char *begin, const char *end, char16_t *out);
    // Writes the bytes of [begin, end) to out and returns the end of what it wrote.
    static char *encode(const char16_t *begin, const char16_t *end, char *out);
};
