#pragma once

#include "device/DriverFunctionOrder.h"

#include <string_view>

namespace talvo::sim {

// The driver functions that the tool calls: the ones a failure can be injected into.
inline constexpr auto kCalledFunctions = kCalledDriverFunctionNames;

bool isCalledFunction(std::string_view name);

} // namespace talvo::sim
