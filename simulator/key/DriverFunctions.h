#pragma once

#include <array>
#include <string_view>

namespace talvo::sim {

// The driver functions that the tool calls: the ones a failure can be injected into.
extern const std::array<std::string_view, 26> kCalledFunctions;

bool isCalledFunction(std::string_view name);

} // namespace talvo::sim
