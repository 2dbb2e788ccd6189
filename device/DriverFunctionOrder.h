#pragma once

#include "device/TalvoDriverFunctions.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

namespace talvo {

// One driver function as the list gives it.
struct DriverFunction {
    const char* name = nullptr;
    int position = 0; // where the binding looks it up, from 1
    bool called = false;
};

namespace driver_list {

#define TALVO_DRIVER_CALLED_ENTRY(name, position, ...) DriverFunction{#name, position, true},
#define TALVO_DRIVER_BOUND_ONLY_ENTRY(name, position) DriverFunction{#name, position, false},
inline constexpr DriverFunction kDeclared[] = {
    TALVO_DRIVER_FUNCTIONS(TALVO_DRIVER_CALLED_ENTRY, TALVO_DRIVER_BOUND_ONLY_ENTRY)};
#undef TALVO_DRIVER_CALLED_ENTRY
#undef TALVO_DRIVER_BOUND_ONLY_ENTRY

// A position outside 1..N stops the compilation here; one taken twice leaves another empty.
constexpr auto inBindingOrder()
{
    std::array<DriverFunction, std::size(kDeclared)> ordered{};
    for (const DriverFunction& function : kDeclared)
        ordered[static_cast<std::size_t>(function.position - 1)] = function;
    return ordered;
}

} // namespace driver_list

// Every driver function, in the order in which the binding looks them up.
inline constexpr std::array kDriverFunctions = driver_list::inBindingOrder();
static_assert(std::all_of(kDriverFunctions.begin(), kDriverFunctions.end(),
                          [](const DriverFunction& function) { return function.name != nullptr; }),
              "every binding position is taken exactly once");

inline constexpr std::size_t kCalledDriverFunctionCount =
    static_cast<std::size_t>(std::count_if(kDriverFunctions.begin(), kDriverFunctions.end(),
                                           [](const DriverFunction& function) { return function.called; }));

// The names of the functions the tool calls, in binding order.
inline constexpr auto kCalledDriverFunctionNames = [] {
    std::array<std::string_view, kCalledDriverFunctionCount> names{};
    std::size_t next = 0;
    for (const DriverFunction& function : kDriverFunctions)
        if (function.called)
            names[next++] = function.name;
    return names;
}();

} // namespace talvo
