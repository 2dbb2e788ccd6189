#pragma once

#include "simulator/key/KeyState.h"

#include <filesystem>
#include <ostream>

namespace talvo::sim {

// The human-readable form of a key for "talvo-sim show": texts in UTF-8, bytes that are no
// CP936 text as escapes.
void dumpKey(std::ostream& out, const std::filesystem::path& directory, const KeyState& state, bool plugged);

} // namespace talvo::sim
