#include "Gb18030Tables.h"

const Gb18030Tables &Gb18030Tables::instance()
{
    static const Gb18030Tables tables;
    return tables;
}

Gb18030Tables::Gb18030Tables()
    : m_codes(0x10000), m_fourByteCharacters(Gb18030Mapping::kFourByteCount),
      m_fourByteNumbers(0x10000, kNoFourByte)
{
    using namespace Gb18030Mapping;
    for (int lead = 0; lead < kLeads; ++lead) {
        for (int trail = 0; trail < kTrails; ++trail) {
            if (const char16_t c = kTwoByte[lead * kTrails + trail])
                m_codes[c] = static_cast<quint16>((kFirstLead + lead) << 8 | (kFirstTrail + trail));
        }
    }
    for (int run = 0; run < kFourByteRunCount; ++run) {
        const int end = run + 1 < kFourByteRunCount ? kFourByteRuns[run + 1].linear : kFourByteCount;
        for (int linear = kFourByteRuns[run].linear; linear < end; ++linear) {
            const auto c =
                static_cast<char16_t>(kFourByteRuns[run].first + (linear - kFourByteRuns[run].linear));
            m_fourByteCharacters[static_cast<size_t>(linear)] = c;
            m_fourByteNumbers[c] = static_cast<quint16>(linear);
        }
    }
}
