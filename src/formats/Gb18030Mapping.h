#pragma once

#include <QtGlobal>

// GB18030's mapping as the program keeps it, the same on every system (Gb18030Mapping.cpp is
// written by tools/gb18030/generate.py). Every two-byte character and every four-byte character of
// the Basic Multilingual Plane stands for one character and back; the four-byte characters from
// 90 30 81 30 on are the planes above it in order, by rule.
namespace Gb18030Mapping {

inline constexpr int kFirstLead = 0x81;
inline constexpr int kLeads = 0xFE - kFirstLead + 1;
inline constexpr int kFirstTrail = 0x40;
inline constexpr int kTrails = 0xFE - kFirstTrail + 1;

// The character of each two-byte character by (lead - 81) * kTrails + (trail - 40); 0 where the
// trail is 7F, which is none.
extern const char16_t kTwoByte[kLeads * kTrails];

// The four-byte characters of the Basic Multilingual Plane by their number from 81 30 81 30 on
// (((b1 - 81) * 10 + b2 - 30) * 126 + b3 - 81) * 10 + b4 - 30: a run begins at number `linear` with
// character `first`, and both go up by one up to the next run.
inline constexpr int kFourByteCount = 39420;
struct FourByteRun {
    quint16 linear;
    char16_t first;
};
inline constexpr int kFourByteRunCount = 208;
extern const FourByteRun kFourByteRuns[kFourByteRunCount];

} // namespace Gb18030Mapping
