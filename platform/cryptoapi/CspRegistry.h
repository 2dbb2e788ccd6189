#pragma once

#include "WinCryptTypes.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace talvo {

// One registered provider: a "*.csp" text file in a registry directory with the lines
// "name=...", "type=..." and "library=..." (an absolute path, or a path below the registry
// directory: relative, without "..").
struct CspRegistryEntry {
    std::string name;
    DWORD type = 0;
    std::filesystem::path library;
};

// The system's registry directories, kept the way p11-kit keeps module entries: the
// administrator's (/etc/talvo/csp.d) and the installed packages' (<libdir>/talvo/csp, found
// relative to the executable, in the build tree as installed).
struct CspRegistryLocations {
    std::filesystem::path administrator;
    std::filesystem::path packaged; // empty when the executable's directory is unknown
    static CspRegistryLocations system();
};

// The directories to search, first wins: TALVO_CSP_REGISTRY when set to an absolute directory
// (a relative one is refused with a trace), then the administrator's, then the packaged one.
// The working directory is never among them.
std::vector<std::filesystem::path>
cspRegistryDirectories(const CspRegistryLocations& locations = CspRegistryLocations::system());

// The entry, or none with the reason in the error when one is asked for.
std::optional<CspRegistryEntry> parseCspRegistryEntry(const std::string& text,
                                                      const std::filesystem::path& registryDir,
                                                      std::string* error = nullptr);

// Every entry with this exact name, or with a null name every entry of the type, in the order
// of the directories and within one directory of the file names. An entry that another user
// may change, or that does not parse, is left out with a trace that names its file.
std::vector<CspRegistryEntry> findCspRegistryEntries(const std::vector<std::filesystem::path>& registryDirs,
                                                     const char* name, DWORD type);

// The first such entry of one directory.
std::optional<CspRegistryEntry> findCspRegistryEntry(const std::filesystem::path& registryDir,
                                                     const char* name, DWORD type);

} // namespace talvo
