#pragma once

#include <string>

namespace talvo {

// Owns one dlopen handle. A path is opened as it is; a plain file name is looked up in the
// program's search path (LibrarySearchPath), which never includes the working directory.
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
    // The file opened, or tried.
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
