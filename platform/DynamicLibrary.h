#pragma once

#include <string>

namespace talvo {

// Owns one dlopen handle. The name is passed to dlopen as it is, so a plain file name is
// looked up with the platform's search order (LD_LIBRARY_PATH, then the caller's RUNPATH).
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
    // Why the load failed, as the dynamic loader said it.
    const std::string& errorText() const { return m_error; }
    void* symbol(const char* name) const;
    void unload();

private:
    void* m_handle = nullptr;
    std::string m_error;
};

} // namespace talvo
