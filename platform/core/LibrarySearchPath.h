#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace talvo {

// The loader looks for a library named without a slash in LD_LIBRARY_PATH and in the program's
// RUNPATH (or RPATH) before its own directories, and it reads an empty or relative element of
// those lists against the working directory, where whoever starts the program can plant a
// library.

// The first empty or relative element of a list, as written; an element that starts with
// $ORIGIN is the program's own directory and counts as absolute.
std::optional<std::string> firstLooseElement(std::string_view list, std::string_view separators);

// Which element of the running program's search path the loader would read against the working
// directory, said for a trace; nothing when every element is absolute.
std::optional<std::string> looseSearchPathElement();

} // namespace talvo
