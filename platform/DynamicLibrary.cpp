#include "DynamicLibrary.h"

#include "LibrarySearchPath.h"

#include <dlfcn.h>

#include <utility>

namespace talvo {

DynamicLibrary::DynamicLibrary(const std::string& name)
{
    // A plain name is looked up here, never by dlopen: the loader would also try the working
    // directory for an empty or relative element of the search path.
    if (name.find('/') == std::string::npos) {
        const std::optional<std::string> file = LibrarySearchPath::ofProgram().find(name);
        if (!file) {
            m_error = name + ": cannot open shared object file: No such file or directory";
            return;
        }
        m_path = *file;
    } else {
        m_path = name;
    }
    m_handle = ::dlopen(m_path.c_str(), RTLD_NOW | RTLD_LOCAL);
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
    : m_handle(std::exchange(other.m_handle, nullptr)), m_path(std::move(other.m_path)),
      m_error(std::move(other.m_error))
{
}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept
{
    if (this != &other) {
        unload();
        m_handle = std::exchange(other.m_handle, nullptr);
        m_path = std::move(other.m_path);
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
