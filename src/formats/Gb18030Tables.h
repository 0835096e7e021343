#pragma once

#include "Gb18030Mapping.h"

#include <QtGlobal>
#include <vector>

// GB18030 by table, both ways, from the program's own mapping: two-byte characters (most of any
// Chinese text) by their bytes, and the characters of the Basic Multilingual Plane by their code.
class Gb18030Tables {
public:
    static const Gb18030Tables &instance();

    // A GB18030 character of two bytes: a lead 81..FE and a trail 40..7E or 80..FE.
    static bool isTwoByteCharacter(const unsigned char *p)
    {
        return p[0] >= kFirstLead && p[0] <= kLastLead &&
               ((p[1] >= kFirstTrail && p[1] <= 0x7E) || (p[1] >= 0x80 && p[1] <= kLastTrail));
    }
    // The character of a two-byte character's bytes.
    char16_t decode(const unsigned char *p) const
    {
        return Gb18030Mapping::kTwoByte[(p[0] - kFirstLead) * Gb18030Mapping::kTrails + (p[1] - kFirstTrail)];
    }
    // The two bytes of a character as lead * 256 + trail, or 0 when it is not one two-byte character.
    quint16 encode(char16_t c) const { return m_codes[c]; }
    // The character of a four-byte character of the Basic Multilingual Plane by its number.
    char16_t fourByteCharacter(int linear) const { return m_fourByteCharacters[static_cast<size_t>(linear)]; }
    // The number of the four-byte character of c, or kNoFourByte when c has none (ASCII, a two-byte
    // character, a surrogate).
    quint16 fourByteNumber(char16_t c) const { return m_fourByteNumbers[c]; }
    static constexpr quint16 kNoFourByte = 0xFFFF;

private:
    static constexpr int kFirstLead = 0x81;
    static constexpr int kLastLead = 0xFE;
    static constexpr int kFirstTrail = 0x40;
    static constexpr int kLastTrail = 0xFE;

    Gb18030Tables();

    std::vector<quint16> m_codes;               // by character
    std::vector<char16_t> m_fourByteCharacters; // by four-byte number
    std::vector<quint16> m_fourByteNumbers;     // by character
};
