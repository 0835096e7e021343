#include "Gb18030Codec.h"

#include "Gb18030Tables.h"

namespace {
constexpr char16_t kReplacement = 0xFFFD;
constexpr char kSubstitute = 0x1A;
// Four-byte characters from 90 30 81 30 on are the code points from U+10000 on, in order.
constexpr int kFirstSupplementaryNumber = ((0x90 - 0x81) * 10 * 126) * 10;
constexpr int kSupplementaryCount = 0x100000;

bool isLead(unsigned char byte)
{
    return byte >= 0x81 && byte <= 0xFE;
}

bool isDigit(unsigned char byte)
{
    return byte >= 0x30 && byte <= 0x39;
}

char *putFourBytes(int number, char *out)
{
    out[3] = static_cast<char>(0x30 + number % 10);
    number /= 10;
    out[2] = static_cast<char>(0x81 + number % 126);
    number /= 126;
    out[1] = static_cast<char>(0x30 + number % 10);
    out[0] = static_cast<char>(0x81 + number / 10);
    return out + 4;
}
} // namespace

char16_t *Gb18030Codec::decode(const char *begin, const char *end, char16_t *out)
{
    const Gb18030Tables &tables = Gb18030Tables::instance();
    const auto *p = reinterpret_cast<const unsigned char *>(begin);
    const auto *const last = reinterpret_cast<const unsigned char *>(end);
    while (p < last) {
        const unsigned char first = *p;
        if (first < 0x80) {
            *out++ = first;
            ++p;
            continue;
        }
        if (!isLead(first) || last - p < 2) {
            *out++ = kReplacement;
            ++p;
            continue;
        }
        if (Gb18030Tables::isTwoByteCharacter(p)) {
            *out++ = tables.decode(p);
            p += 2;
            continue;
        }
        if (p[1] == 0xFF) {
            *out++ = kReplacement;
            p += 2;
            continue;
        }
        if (!isDigit(p[1]) || last - p < 4 || !isLead(p[2]) || !isDigit(p[3])) {
            *out++ = kReplacement;
            ++p;
            continue;
        }
        const int number =
            ((((p[0] - 0x81) * 10 + (p[1] - 0x30)) * 126 + (p[2] - 0x81)) * 10) + (p[3] - 0x30);
        p += 4;
        if (number < Gb18030Mapping::kFourByteCount) {
            *out++ = tables.fourByteCharacter(number);
        } else if (number >= kFirstSupplementaryNumber &&
                   number < kFirstSupplementaryNumber + kSupplementaryCount) {
            const int offset = number - kFirstSupplementaryNumber;
            *out++ = static_cast<char16_t>(0xD800 + (offset >> 10));
            *out++ = static_cast<char16_t>(0xDC00 + (offset & 0x3FF));
        } else {
            *out++ = kReplacement;
        }
    }
    return out;
}

char *Gb18030Codec::encode(const char16_t *begin, const char16_t *end, char *out)
{
    const Gb18030Tables &tables = Gb18030Tables::instance();
    for (const char16_t *p = begin; p < end; ++p) {
        const char16_t c = *p;
        if (c < 0x80) {
            *out++ = static_cast<char>(c);
        } else if (const quint16 code = tables.encode(c)) {
            *out++ = static_cast<char>(code >> 8);
            *out++ = static_cast<char>(code & 0xFF);
        } else if (const quint16 number = tables.fourByteNumber(c); number != Gb18030Tables::kNoFourByte) {
            out = putFourBytes(number, out);
        } else if (c >= 0xD800 && c <= 0xDBFF && p + 1 < end && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
            out = putFourBytes(kFirstSupplementaryNumber + ((c - 0xD800) << 10) + (p[1] - 0xDC00), out);
            ++p;
        } else {
            *out++ = kSubstitute;
        }
    }
    return out;
}
