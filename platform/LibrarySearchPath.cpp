#include "LibrarySearchPath.h"

#include "LoaderCache.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/auxv.h>
#include <sys/stat.h>
#include <unistd.h>

namespace talvo {

namespace {

#if defined(__x86_64__)
constexpr int kMachine = EM_X86_64;
#elif defined(__aarch64__)
constexpr int kMachine = EM_AARCH64;
#elif defined(__i386__)
constexpr int kMachine = EM_386;
#elif defined(__arm__)
constexpr int kMachine = EM_ARM;
#elif defined(__riscv)
constexpr int kMachine = EM_RISCV;
#else
constexpr int kMachine = EM_NONE;
#endif

bool isAbsolute(const std::string& directory)
{
    return !directory.empty() && directory.front() == '/';
}

std::vector<std::string> split(const std::string& text, const char* separators)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find_first_of(separators, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

void appendAbsolute(std::vector<std::string>& to, const std::vector<std::string>& directories)
{
    for (const std::string& directory : directories)
        if (isAbsolute(directory) && std::find(to.begin(), to.end(), directory) == to.end())
            to.push_back(directory);
}

struct ProgramPaths {
    std::string rpath;
    std::string runpath;
    bool hasRunpath = false;
};

// The main program's DT_RPATH and DT_RUNPATH, read from its dynamic section in memory.
int readProgramPaths(dl_phdr_info* info, size_t, void* data)
{
    auto* paths = static_cast<ProgramPaths*>(data);
    for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
        if (info->dlpi_phdr[i].p_type != PT_DYNAMIC)
            continue;
        const auto* dynamic =
            reinterpret_cast<const ElfW(Dyn)*>(info->dlpi_addr + info->dlpi_phdr[i].p_vaddr);
        ElfW(Addr) strings = 0;
        const ElfW(Dyn)* rpath = nullptr;
        const ElfW(Dyn)* runpath = nullptr;
        for (const ElfW(Dyn)* entry = dynamic; entry->d_tag != DT_NULL; ++entry) {
            if (entry->d_tag == DT_STRTAB)
                strings = entry->d_un.d_ptr;
            else if (entry->d_tag == DT_RPATH)
                rpath = entry;
            else if (entry->d_tag == DT_RUNPATH)
                runpath = entry;
        }
        // The loader relocates the string table's address in place where the dynamic section
        // is writable, and leaves it as linked where it is not.
        if (strings != 0 && strings < info->dlpi_addr)
            strings += info->dlpi_addr;
        if (strings != 0 && rpath)
            paths->rpath = reinterpret_cast<const char*>(strings + rpath->d_un.d_val);
        if (strings != 0 && runpath) {
            paths->runpath = reinterpret_cast<const char*>(strings + runpath->d_un.d_val);
            paths->hasRunpath = true;
        }
    }
    return 1; // the first object is the main program
}

std::string executableDirectory()
{
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().string();
}

// $ORIGIN and ${ORIGIN} become the executable's directory. An element with another token
// ($LIB, $PLATFORM), or with any token in a set-id program, is left out.
std::vector<std::string> expandOrigin(const std::vector<std::string>& elements, bool secure)
{
    const std::string origin = executableDirectory();
    std::vector<std::string> expanded;
    for (std::string element : elements) {
        if (element.find('$') != std::string::npos) {
            if (secure || origin.empty())
                continue;
            for (const char* token : {"${ORIGIN}", "$ORIGIN"})
                for (std::size_t at = element.find(token); at != std::string::npos;
                     at = element.find(token, at + origin.size()))
                    element.replace(at, std::strlen(token), origin);
            if (element.find('$') != std::string::npos && origin.find('$') == std::string::npos)
                continue;
        }
        expanded.push_back(std::move(element));
    }
    return expanded;
}

// The directories the loader reports for the main program (dlinfo): its system directories come
// last. Walked here because a dlopen forwarded by an interposer such as a sanitizer would
// search for the interposer, not for the program.
std::vector<std::string> reportedSearchPath()
{
    std::vector<std::string> directories;
    void* program = ::dlopen(nullptr, RTLD_NOW);
    if (!program)
        return directories;
    Dl_serinfo size{};
    if (::dlinfo(program, RTLD_DI_SERINFOSIZE, &size) == 0 && size.dls_size >= sizeof(Dl_serinfo)) {
        std::vector<unsigned char> storage(size.dls_size);
        auto* info = reinterpret_cast<Dl_serinfo*>(storage.data());
        info->dls_size = size.dls_size;
        info->dls_cnt = size.dls_cnt;
        if (::dlinfo(program, RTLD_DI_SERINFO, info) == 0)
            for (unsigned i = 0; i < info->dls_cnt; ++i)
                directories.emplace_back(info->dls_serpath[i].dls_name);
    }
    ::dlclose(program);
    return directories;
}

enum class Candidate { Missing, OtherArchitecture, Usable };

// The loader opens each candidate in turn and passes over one that is missing, unreadable or
// built for another class or machine; anything else it takes, and reports its fault if any.
Candidate inspect(const std::string& file)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return Candidate::Missing;
    struct stat status {};
    unsigned char header[EI_NIDENT + 4] = {};
    const bool regular = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    const ssize_t got = regular ? ::read(fd, header, sizeof header) : 0;
    ::close(fd);
    if (!regular)
        return Candidate::Missing;
    if (got != static_cast<ssize_t>(sizeof header) || std::memcmp(header, ELFMAG, SELFMAG) != 0)
        return Candidate::Usable;
    const unsigned char ownClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
    std::uint16_t machine = 0;
    std::memcpy(&machine, header + EI_NIDENT + 2, sizeof machine);
    if (header[EI_CLASS] != ownClass || (kMachine != EM_NONE && machine != kMachine))
        return Candidate::OtherArchitecture;
    return Candidate::Usable;
}

std::optional<std::string> firstIn(const std::vector<std::string>& directories, const std::string& name)
{
    for (const std::string& directory : directories) {
        std::string candidate = directory + "/" + name;
        if (inspect(candidate) == Candidate::Usable)
            return candidate;
    }
    return std::nullopt;
}

} // namespace

LibrarySearchPath::LibrarySearchPath(std::vector<std::string> leading, std::filesystem::path loaderCache,
                                     std::vector<std::string> system)
    : m_loaderCache(std::move(loaderCache))
{
    appendAbsolute(m_leading, leading);
    appendAbsolute(m_system, system);
}

LibrarySearchPath LibrarySearchPath::ofProgram()
{
    // A set-id program's loader ignores LD_LIBRARY_PATH (glibc removes it from the environment).
    const bool secure = ::getauxval(AT_SECURE) != 0;
    std::vector<std::string> environment;
    if (const char* path = std::getenv("LD_LIBRARY_PATH"); path && !secure)
        environment = split(path, ":;");

    ProgramPaths program;
    ::dl_iterate_phdr(&readProgramPaths, &program);
    std::vector<std::string> leading;
    if (program.hasRunpath) {
        leading = environment;
        const std::vector<std::string> runpath = expandOrigin(split(program.runpath, ":"), secure);
        leading.insert(leading.end(), runpath.begin(), runpath.end());
    } else {
        // An old-style RPATH is searched even before LD_LIBRARY_PATH.
        if (!program.rpath.empty())
            leading = expandOrigin(split(program.rpath, ":"), secure);
        leading.insert(leading.end(), environment.begin(), environment.end());
    }
    return LibrarySearchPath(std::move(leading), "/etc/ld.so.cache", reportedSearchPath());
}

std::optional<std::string> LibrarySearchPath::find(const std::string& name) const
{
    if (name.empty() || name.find('/') != std::string::npos)
        return std::nullopt;
    if (std::optional<std::string> found = firstIn(m_leading, name))
        return found;
    if (const std::optional<std::string> cached = lookUpLoaderCache(m_loaderCache, name);
        cached && isAbsolute(*cached) && inspect(*cached) == Candidate::Usable)
        return cached;
    // The loader's own report lists the leading directories again: searching them a second
    // time cannot change the answer.
    return firstIn(m_system, name);
}

} // namespace talvo
