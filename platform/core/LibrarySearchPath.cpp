#include "LibrarySearchPath.h"

#include <cstdlib>
#include <elf.h>
#include <link.h>
#include <sys/auxv.h>

namespace talvo {

namespace {

bool isOriginBased(std::string_view element)
{
    for (const std::string_view token : {std::string_view("$ORIGIN"), std::string_view("${ORIGIN}")})
        if (element.starts_with(token) && (element.size() == token.size() || element[token.size()] == '/'))
            return true;
    return false;
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

std::optional<std::string> described(const std::optional<std::string>& element, const char* list)
{
    if (!element)
        return std::nullopt;
    return "the element \"" + *element + "\" of " + list + " would be read against the working directory";
}

} // namespace

std::optional<std::string> firstLooseElement(std::string_view list, std::string_view separators)
{
    for (;;) {
        const std::size_t end = list.find_first_of(separators);
        const std::string_view element = list.substr(0, end);
        if (!element.starts_with('/') && !isOriginBased(element))
            return std::string(element);
        if (end == std::string_view::npos)
            return std::nullopt;
        list.remove_prefix(end + 1);
    }
}

std::optional<std::string> looseSearchPathElement()
{
    ProgramPaths program;
    ::dl_iterate_phdr(&readProgramPaths, &program);
    // An old-style RPATH counts only where there is no RUNPATH.
    if (program.hasRunpath) {
        if (auto loose = described(firstLooseElement(program.runpath, ":"), "the program's RUNPATH"))
            return loose;
    } else if (!program.rpath.empty()) {
        if (auto loose = described(firstLooseElement(program.rpath, ":"), "the program's RPATH"))
            return loose;
    }
    // The loader ignores LD_LIBRARY_PATH in a set-id program, and one that is set but empty.
    const char* path = std::getenv("LD_LIBRARY_PATH");
    if (::getauxval(AT_SECURE) != 0 || !path || *path == '\0')
        return std::nullopt;
    return described(firstLooseElement(path, ":;"), "LD_LIBRARY_PATH");
}

} // namespace talvo
