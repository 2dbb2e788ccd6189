#pragma once

#include "device/DriverFunctionOrder.h"
#include "device/TalvoDriverApi.h"
#include "platform/core/DynamicLibrary.h"

#include <array>
#include <cstdint>
#include <utility>

namespace talvo {

// How the tool reads a driver function's result.
namespace driver_answer {
template <class Result> constexpr Result asIs(Result result)
{
    return result;
}
constexpr bool isZero(int32_t result)
{
    return result == 0;
}
constexpr bool isNonZero(uint8_t result)
{
    return result != 0;
}
} // namespace driver_answer

// The one object that loads the key's driver library and forwards the calls the tool makes.
// A missing library or function never reaches the driver: the operation answers as a
// missing function does (status 1, false or 0) and traces at each call.
class KeyDriverBinding {
public:
    static constexpr const char* kLibraryName = "libTalvoDriver.so";
    // The 52 names, in the order in which they are bound.
    static constexpr auto kBoundNames = [] {
        std::array<const char*, kDriverFunctions.size()> names{};
        for (std::size_t i = 0; i < names.size(); ++i)
            names[i] = kDriverFunctions[i].name;
        return names;
    }();

    KeyDriverBinding();
    virtual ~KeyDriverBinding();
    KeyDriverBinding(const KeyDriverBinding&) = delete;
    KeyDriverBinding& operator=(const KeyDriverBinding&) = delete;

    bool isLibraryLoaded() const { return m_library.isLoaded(); }
    // Why the library could not be loaded, as the dynamic loader said it.
    const std::string& loadError() const { return m_library.errorText(); }
    // How many of the 52 names the library exported.
    int boundCount() const;

    // One forwarder a function the tool calls, with the list's name, parameters and answers.
#define TALVO_BINDING_FORWARDER(name, position, result, parameters, arguments, trace, missing, seen)         \
    decltype(driver_answer::seen(std::declval<result>())) name parameters                                    \
    {                                                                                                        \
        if (!m_pf##name) {                                                                                   \
            traceMissing(trace);                                                                             \
            return missing;                                                                                  \
        }                                                                                                    \
        return driver_answer::seen(m_pf##name arguments);                                                    \
    }
    TALVO_DRIVER_FUNCTIONS(TALVO_BINDING_FORWARDER, TALVO_DRIVER_SKIP)
#undef TALVO_BINDING_FORWARDER

private:
    void load();
    void bindAt(int position);
    template <class Pointer> void bind(Pointer& pointer, const char* name);
    // Nothing for a null name.
    static void traceMissing(const char* traceName);

    DynamicLibrary m_library;
    // One pointer a name, named m_pf and the name, in the list's order.
#define TALVO_BINDING_MEMBER(name, ...) PFN_##name m_pf##name = nullptr;
    TALVO_DRIVER_FUNCTIONS(TALVO_BINDING_MEMBER, TALVO_BINDING_MEMBER)
#undef TALVO_BINDING_MEMBER
};

} // namespace talvo
