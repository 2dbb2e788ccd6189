#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace talvo {

// Where the dynamic loader looks for a library named without a slash, in its own order:
// LD_LIBRARY_PATH, the program's RUNPATH, the loader's cache, the system directories. An empty
// or relative directory would name the working directory: it is left out, so that a library
// planted where the program is started is never loaded.
class LibrarySearchPath {
public:
    LibrarySearchPath(std::vector<std::string> leading, std::filesystem::path loaderCache,
                      std::vector<std::string> system);

    // The running program's: its environment, its RUNPATH ($ORIGIN expanded), /etc/ld.so.cache
    // and the loader's system directories.
    static LibrarySearchPath ofProgram();

    // The file that the loader would open for the name, if any. Like the loader, it passes
    // over a file built for another architecture.
    std::optional<std::string> find(const std::string& name) const;

    const std::vector<std::string>& leading() const { return m_leading; }

private:
    std::vector<std::string> m_leading;
    std::filesystem::path m_loaderCache;
    std::vector<std::string> m_system;
};

} // namespace talvo
