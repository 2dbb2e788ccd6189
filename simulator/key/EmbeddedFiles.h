#pragma once

#include <cstddef>
#include <string_view>

namespace talvo::sim {

// The demo seal pictures, built into the program in the order the build lists them.
std::size_t embeddedFileCount();
std::string_view embeddedFile(std::size_t index);

} // namespace talvo::sim
