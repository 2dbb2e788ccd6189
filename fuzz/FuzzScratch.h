#pragma once

// What the targets that work on files share: a scratch directory that goes when the process
// ends, and whole-file reads.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <system_error>

#include <stdlib.h>

namespace talvo::fuzz {

inline std::filesystem::path& scratchDirectoryStore()
{
    static std::filesystem::path directory;
    return directory;
}

// A new directory /tmp/<prefix>-XXXXXX, removed at exit; a target without one cannot run.
inline std::filesystem::path makeScratchDirectory(const std::string& prefix)
{
    std::string pattern = "/tmp/" + prefix + "-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        std::abort();
    scratchDirectoryStore() = pattern;
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(scratchDirectoryStore(), ignored);
    });
    return pattern;
}

inline std::string readWholeFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::set<std::string> entriesOf(const std::filesystem::path& directory)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        names.insert(entry.path().filename().string());
    return names;
}

} // namespace talvo::fuzz
