#pragma once

#include <string>

namespace talvo {

// Owns one dlopen handle. A path is opened as it is. A plain file name is left to the system's
// loader and its search order, but only while nothing in that order can reach the working
// directory: where LD_LIBRARY_PATH or the program's RUNPATH has an empty or relative element,
// the library is not loaded, as if it were missing, and a trace names the element.
class DynamicLibrary {
public:
    DynamicLibrary() = default;
    explicit DynamicLibrary(const std::string& name);
    ~DynamicLibrary();
    DynamicLibrary(DynamicLibrary&& other) noexcept;
    DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    bool isLoaded() const { return m_handle != nullptr; }
    // The file opened, or the name tried.
    const std::string& path() const { return m_path; }
    // Why the load failed, as the dynamic loader said it.
    const std::string& errorText() const { return m_error; }
    void* symbol(const char* name) const;
    void unload();

private:
    void* m_handle = nullptr;
    std::string m_path;
    std::string m_error;
};

} // namespace talvo
