#pragma once

#include <QString>

struct AppState;

// Every RQX5 receiving routine first copies its block into the RecordBuffer (position k = block
// byte k + 1) and decodes positions of it through the instrument character code.
namespace Rqx5Decode {

// Puts the character of RecordBuffer position k into CharCodeTable[k] for k = first..last; the table
// grows when it is too short.
void recordBuffer(AppState &state, int first, int last);
// The decoded characters of positions first..last in order, spaces included.
QString characters(const AppState &state, int first, int last);

} // namespace Rqx5Decode
