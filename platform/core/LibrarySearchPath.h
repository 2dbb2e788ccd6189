#pragma once

#include <optional>
#include <string>

namespace talvo {

// The loader looks for a library named without a slash in LD_LIBRARY_PATH and in the program's
// RUNPATH (or RPATH) before its own directories, and it reads an empty or relative element of
// those lists against the working directory, where whoever starts the program can plant a
// library. Which directory of the running program's search path, as the loader itself lists
// it, is such a one, said for a trace; nothing when every directory is absolute.
std::optional<std::string> looseSearchPathElement();

} // namespace talvo
