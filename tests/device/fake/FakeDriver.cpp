// A stand-in driver for the binding itself. It serves the faults in what a library exports,
// which the recording driver (a key in memory) cannot: built twice, whole (all 52 names, with
// the answers a binding must survive: a serial number without terminator, no CSP name) and
// partial (names missing, as a driver may lack them: partial.map.in hides them). Every function
// the tool calls is made from the list: it answers the one status the test sets and counts its
// calls; the main window's tests use the partial build for a serial read that fails or fills
// its whole buffer.
#include "device/TalvoDriverExports.h"

#include <cstring>
#include <string_view>
#include <tuple>
#include <type_traits>

// The test's controls, beside the driver's names.
TALVO_DRIVER_EXPORT void FakeSetStatus(int32_t status);
TALVO_DRIVER_EXPORT int32_t FakeLastSelector();
TALVO_DRIVER_EXPORT int FakeCalls();

namespace {

int32_t g_status = 0;
int32_t g_lastSelector = -1;
int g_calls = 0;

// The functions whose last argument is a device selector.
bool takesSelector(std::string_view name)
{
    return name == "TLKeyIsExist" || name == "TLKeyReadSerial" || name == "TLKeyReadHash" ||
           name == "TLKeyWriteHash";
}

template <class Result> struct Answer {
    std::string_view name;

    template <class... Arguments> Result operator()(Arguments... arguments) const
    {
        ++g_calls;
        if constexpr (sizeof...(Arguments) > 0) {
            using All = std::tuple<Arguments...>;
            const All all(arguments...);
            if constexpr (std::is_same_v<std::tuple_element_t<sizeof...(Arguments) - 1, All>, int32_t>)
                if (takesSelector(name))
                    g_lastSelector = std::get<sizeof...(Arguments) - 1>(all);
            // Fills the whole buffer and leaves no terminator: the caller must cut at its size.
            if constexpr (std::is_same_v<std::tuple_element_t<0, All>, char*>)
                if (name == "TLKeyReadSerial" && g_status == 0)
                    std::memset(std::get<0>(all), 'S', TL_SERIAL_BUFFER_SIZE);
        }
        if constexpr (std::is_pointer_v<Result>)
            return nullptr; // a driver that has the function but no CSP name to give
        else if constexpr (std::is_same_v<Result, uint8_t>)
            return 1; // the certificate store's changes succeed
        else if (name == "TLShowDlg")
            return 0;
        else if (name == "TLGetCertsNumFromIE")
            return 7;
        else
            return g_status;
    }
};

} // namespace

TALVO_DRIVER_EXPORT void FakeSetStatus(int32_t status)
{
    g_status = status;
}
TALVO_DRIVER_EXPORT int32_t FakeLastSelector()
{
    return g_lastSelector;
}
TALVO_DRIVER_EXPORT int FakeCalls()
{
    return g_calls;
}

#define FAKE_CALLED(name, position, result, parameters, arguments, ...)                                      \
    result name parameters                                                                                   \
    {                                                                                                        \
        return Answer<result>{#name} arguments;                                                              \
    }
#define FAKE_BOUND_ONLY(name, position)                                                                      \
    int32_t name(void)                                                                                       \
    {                                                                                                        \
        return 0;                                                                                            \
    }
TALVO_DRIVER_FUNCTIONS(FAKE_CALLED, FAKE_BOUND_ONLY)
#undef FAKE_CALLED
#undef FAKE_BOUND_ONLY
