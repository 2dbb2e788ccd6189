#pragma once

#include "WinCryptTypes.h"

#include <filesystem>
#include <optional>
#include <string>

namespace talvo {

// One registered provider: a "*.csp" text file in the registry directory with the lines
// "name=...", "type=..." and "library=..." (a path relative to the registry directory, or
// absolute).
struct CspRegistryEntry {
    std::string name;
    DWORD type = 0;
    std::filesystem::path library;
};

// TALVO_CSP_REGISTRY, else the "csp" directory beside the libraries: <exe dir>/../lib/csp.
std::filesystem::path cspRegistryDirectory();

std::optional<CspRegistryEntry> parseCspRegistryEntry(const std::string& text,
                                                      const std::filesystem::path& registryDir);

// The entry with this exact name, or with a null name the first of the type (by file name).
std::optional<CspRegistryEntry> findCspRegistryEntry(const std::filesystem::path& registryDir,
                                                     const char* name, DWORD type);

} // namespace talvo
