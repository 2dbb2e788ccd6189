#include "CspRegistry.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

namespace talvo {

namespace {

std::filesystem::path executableDirectory()
{
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path(ec) : exe.parent_path();
}

std::optional<DWORD> parseType(const std::string& text)
{
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return static_cast<DWORD>(std::stoul(text));
}

std::vector<std::filesystem::path> entryFiles(const std::filesystem::path& registryDir)
{
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(registryDir, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().extension() == ".csp" && it->is_regular_file(ec))
            files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

std::filesystem::path cspRegistryDirectory()
{
    if (const char* dir = std::getenv("TALVO_CSP_REGISTRY"); dir && *dir)
        return dir;
    return (executableDirectory() / ".." / "lib" / "csp").lexically_normal();
}

std::optional<CspRegistryEntry> parseCspRegistryEntry(const std::string& text,
                                                      const std::filesystem::path& registryDir)
{
    CspRegistryEntry entry;
    bool hasType = false;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line.front() == '#')
            continue;
        const size_t equals = line.find('=');
        if (equals == std::string::npos)
            return std::nullopt;
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        if (key == "name") {
            entry.name = value;
        } else if (key == "type") {
            const std::optional<DWORD> type = parseType(value);
            if (!type)
                return std::nullopt;
            entry.type = *type;
            hasType = true;
        } else if (key == "library") {
            entry.library = value.empty() ? std::filesystem::path() : registryDir / value;
        }
    }
    if (entry.name.empty() || !hasType || entry.library.empty())
        return std::nullopt;
    return entry;
}

std::optional<CspRegistryEntry> findCspRegistryEntry(const std::filesystem::path& registryDir,
                                                     const char* name, DWORD type)
{
    for (const std::filesystem::path& file : entryFiles(registryDir)) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        std::optional<CspRegistryEntry> entry = parseCspRegistryEntry(text.str(), registryDir);
        if (!entry)
            continue;
        if (name ? entry->name == name : entry->type == type)
            return entry;
    }
    return std::nullopt;
}

} // namespace talvo
