#include "CspRegistry.h"

#include "FileTrust.h"
#include "platform/core/DebugTrace.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace talvo {

namespace {

constexpr std::uintmax_t kMaxEntrySize = 64 * 1024;

void trace(const std::string& text)
{
    debugTrace(QString::fromStdString(text));
}

std::optional<DWORD> parseType(const std::string& text)
{
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return static_cast<DWORD>(std::stoul(text));
}

// A library below the registry directory, or anywhere by its absolute path.
bool isPlaceableLibrary(const std::filesystem::path& library)
{
    if (library.is_absolute())
        return true;
    return std::none_of(library.begin(), library.end(),
                        [](const std::filesystem::path& part) { return part == ".."; });
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

std::optional<CspRegistryEntry> readEntry(const std::filesystem::path& file,
                                          const std::filesystem::path& registryDir)
{
    if (const std::optional<std::string> reason = whyUntrusted(file)) {
        trace("Provider registry entry " + file.string() + " refused: " + *reason);
        return std::nullopt;
    }
    std::error_code ec;
    if (std::filesystem::file_size(file, ec) > kMaxEntrySize || ec) {
        trace("Provider registry entry " + file.string() + " refused: it is too large or unreadable");
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::string error;
    std::optional<CspRegistryEntry> entry = parseCspRegistryEntry(text.str(), registryDir, &error);
    if (!entry)
        trace("Provider registry entry " + file.string() + " ignored: " + error);
    return entry;
}

std::filesystem::path executableDirectory()
{
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec || !exe.is_absolute() ? std::filesystem::path() : exe.parent_path();
}

} // namespace

CspRegistryLocations CspRegistryLocations::system()
{
    CspRegistryLocations locations;
    locations.administrator = TALVO_ADMIN_CSP_DIR;
    const std::filesystem::path executable = executableDirectory();
    if (executable.empty())
        trace("The program's own directory is unknown: the installed provider registry is not searched");
    else
        locations.packaged = (executable / TALVO_CSP_DIR_FROM_BINDIR).lexically_normal();
    return locations;
}

std::vector<std::filesystem::path> cspRegistryDirectories(const CspRegistryLocations& locations)
{
    std::vector<std::filesystem::path> directories;
    if (const char* dir = std::getenv("TALVO_CSP_REGISTRY"); dir && *dir) {
        if (std::filesystem::path(dir).is_absolute())
            directories.emplace_back(dir);
        else
            trace(std::string("TALVO_CSP_REGISTRY refused: \"") + dir + "\" is not an absolute directory");
    }
    for (const std::filesystem::path& directory : {locations.administrator, locations.packaged})
        if (!directory.empty())
            directories.push_back(directory);
    return directories;
}

std::optional<CspRegistryEntry>
parseCspRegistryEntry(const std::string& text, const std::filesystem::path& registryDir, std::string* error)
{
    const auto refuse = [error](const std::string& why) -> std::optional<CspRegistryEntry> {
        if (error)
            *error = why;
        return std::nullopt;
    };
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
            return refuse("a line without \"=\"");
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        if (key == "name") {
            entry.name = value;
        } else if (key == "type") {
            const std::optional<DWORD> type = parseType(value);
            if (!type)
                return refuse("the type is no number");
            entry.type = *type;
            hasType = true;
        } else if (key == "library") {
            if (!isPlaceableLibrary(value))
                return refuse("the library must be an absolute path or lie below the registry directory");
            entry.library = value.empty() ? std::filesystem::path() : registryDir / value;
        }
    }
    if (entry.name.empty())
        return refuse("no name");
    if (!hasType)
        return refuse("no type");
    if (entry.library.empty())
        return refuse("no library");
    return entry;
}

std::vector<CspRegistryEntry> findCspRegistryEntries(const std::vector<std::filesystem::path>& registryDirs,
                                                     const char* name, DWORD type)
{
    std::vector<CspRegistryEntry> found;
    for (const std::filesystem::path& directory : registryDirs) {
        for (const std::filesystem::path& file : entryFiles(directory)) {
            std::optional<CspRegistryEntry> entry = readEntry(file, directory);
            if (entry && (name ? entry->name == name : entry->type == type))
                found.push_back(std::move(*entry));
        }
    }
    return found;
}

std::optional<CspRegistryEntry> findCspRegistryEntry(const std::filesystem::path& registryDir,
                                                     const char* name, DWORD type)
{
    std::vector<CspRegistryEntry> found = findCspRegistryEntries({registryDir}, name, type);
    if (found.empty())
        return std::nullopt;
    return std::move(found.front());
}

} // namespace talvo
