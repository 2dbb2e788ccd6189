#include "DynamicLibrary.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <utility>
#include <vector>

namespace talvo {

namespace {

// The directories the dynamic loader searches for the main program's libraries, in order
// (LD_LIBRARY_PATH, the program's RUNPATH, the system's). Walked here because a dlopen that
// an interposer such as a sanitizer forwards would otherwise search for the interposer.
std::vector<std::string> programSearchPath()
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

} // namespace

DynamicLibrary::DynamicLibrary(const std::string& name)
{
    if (name.find('/') == std::string::npos) {
        for (const std::string& directory : programSearchPath()) {
            const std::string candidate = directory + "/" + name;
            if (::access(candidate.c_str(), F_OK) == 0) {
                m_handle = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
                break;
            }
        }
    }
    if (!m_handle)
        m_handle = ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!m_handle) {
        const char* error = ::dlerror();
        m_error = error ? error : "unknown error";
    }
}

DynamicLibrary::~DynamicLibrary()
{
    unload();
}

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr)), m_error(std::move(other.m_error))
{
}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept
{
    if (this != &other) {
        unload();
        m_handle = std::exchange(other.m_handle, nullptr);
        m_error = std::move(other.m_error);
    }
    return *this;
}

void* DynamicLibrary::symbol(const char* name) const
{
    return m_handle ? ::dlsym(m_handle, name) : nullptr;
}

void DynamicLibrary::unload()
{
    if (m_handle) {
        ::dlclose(m_handle);
        m_handle = nullptr;
    }
}

} // namespace talvo
