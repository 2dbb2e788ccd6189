#pragma once

#include "KeyState.h"

#include <string>
#include <string_view>

namespace talvo::sim {

// The state file: a header line, one "name=value" line per field (texts as hex of their CP936
// bytes), and a closing "end" line, so that a cut file never reads as a whole one.
std::string encodeState(const KeyState& state);

// Strict: every field exactly once, nothing unknown, every value within its field's range.
// On failure the state is left as it was and the error names the first fault.
bool decodeState(std::string_view text, KeyState& state, std::string* error);

} // namespace talvo::sim
