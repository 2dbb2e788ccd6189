#pragma once

#include "simulator/key/KeyState.h"

#include <string>
#include <string_view>

namespace talvo::sim {

// "talvo-sim set FIELD VALUE": one field of the record, for the states that the tool's own
// operations cannot make (a key role of 102, a time-control flag, an odd flag byte).
// Text values are given in UTF-8 and stored as CP936.
bool assignField(KeyState& state, std::string_view field, std::string_view value, std::string* error);

// The field names, for the help text.
std::string assignableFields();

} // namespace talvo::sim
