#include "Rqx5Decode.h"

#include "core/AppState.h"
#include "core/InstrumentCode.h"

namespace Rqx5Decode {

void recordBuffer(AppState &state, int first, int last)
{
    if (state.CharCodeTable.size() <= static_cast<size_t>(last))
        state.CharCodeTable.resize(static_cast<size_t>(last) + 1);
    for (int k = first; k <= last; ++k) {
        state.LoopIndex = k;
        state.CharCodeTable[static_cast<size_t>(k)] = CodeToCharacter(state.RecordBuffer.at(k));
    }
}

QString characters(const AppState &state, int first, int last)
{
    QString text;
    text.reserve(last - first + 1);
    for (int k = first; k <= last; ++k)
        text += state.CharCodeTable.at(static_cast<size_t>(k));
    return text;
}

} // namespace Rqx5Decode
