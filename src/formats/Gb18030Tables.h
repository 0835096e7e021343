#pragma once

#include <QtGlobal>
#include <vector>

// GB18030's two-byte characters, most of any Chinese text, decoded and encoded by table. The tables
// are made once, on first use, from the code page's own codec, so they hold exactly what it makes of
// each character on its own; and a two-byte character is the same on its own as among others.
class Gb18030Tables {
public:
    static constexpr char kCodecName[] = "GB18030";

    static const Gb18030Tables &instance();

    // A GB18030 character of two bytes: a lead 81..FE and a trail 40..7E or 80..FE.
    static bool isTwoByteCharacter(const unsigned char *p)
    {
        return p[0] >= kFirstLead && p[0] <= kLastLead &&
               ((p[1] >= kFirstTrail && p[1] <= 0x7E) || (p[1] >= 0x80 && p[1] <= kLastTrail));
    }
    // The character of a two-byte character's bytes, or 0 when the codec makes anything else of them.
    char16_t decode(const unsigned char *p) const
    {
        return m_characters[static_cast<size_t>((p[0] - kFirstLead) * kTrails + (p[1] - kFirstTrail))];
    }
    // The two bytes of a character as lead * 256 + trail, or 0 when it is not one two-byte character.
    quint16 encode(char16_t c) const { return m_codes[c]; }

private:
    static constexpr int kFirstLead = 0x81;
    static constexpr int kLastLead = 0xFE;
    static constexpr int kFirstTrail = 0x40;
    static constexpr int kLastTrail = 0xFE;
    static constexpr int kTrails = kLastTrail - kFirstTrail + 1;

    Gb18030Tables();

    std::vector<char16_t> m_characters; // by lead and trail
    std::vector<quint16> m_codes;       // by character
};
