#include "DynamicLibrary.h"

#include "DebugTrace.h"
#include "LibrarySearchPath.h"

#include <dlfcn.h>
#include <link.h>

#include <utility>

namespace talvo {

namespace {

// dlopen in the base namespace. The loader takes the RUNPATH of the object that calls it, found
// by its return address; called through an interposer such as a sanitizer's dlopen, that
// object would be the interposer. dlmopen into the base namespace is the same load, called
// from here.
void* openLibrary(const char* file)
{
    return ::dlmopen(LM_ID_BASE, file, RTLD_NOW | RTLD_LOCAL);
}

std::string loadedFile(void* handle, const std::string& fallback)
{
    link_map* map = nullptr;
    if (::dlinfo(handle, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name && *map->l_name)
        return map->l_name;
    return fallback;
}

} // namespace

DynamicLibrary::DynamicLibrary(const std::string& name) : m_path(name)
{
    if (name.find('/') == std::string::npos) {
        if (const std::optional<std::string> loose = looseSearchPathElement()) {
            m_error = name + ": cannot open shared object file: " + *loose;
            debugTrace(QString::fromLocal8Bit(m_error.c_str()));
            return;
        }
    }
    m_handle = openLibrary(name.c_str());
    if (!m_handle) {
        const char* error = ::dlerror();
        m_error = error ? error : "unknown error";
        return;
    }
    m_path = loadedFile(m_handle, name);
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
