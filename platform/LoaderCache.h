#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace talvo {

// The file that the dynamic loader's cache (ld.so.cache as ldconfig writes it) names for a
// library of this process's architecture; none when the cache lacks the name, cannot be read
// or is of a form this reader does not know.
std::optional<std::string> lookUpLoaderCache(const std::filesystem::path& cacheFile, const std::string& name);

} // namespace talvo
