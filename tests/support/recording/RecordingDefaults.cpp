// Every function the tool calls, made from the list, for one that RecordingDriver.cpp does not
// answer itself: the call is recorded by its name alone and answers the status the test
// injected, else 0 (null for a text). The definitions there take precedence.
#include "RecordingDriver.h"

#include "device/TalvoDriverExports.h"

#include <type_traits>

namespace {

template <class Result> Result recordedByName(const char* name)
{
    auto& driver = talvo::testing::recordingDriver();
    driver.calls.push_back({name, {}});
    const auto found = driver.failures.find(name);
    const int32_t status = found == driver.failures.end() ? 0 : found->second;
    if constexpr (std::is_pointer_v<Result>)
        return nullptr;
    else
        return static_cast<Result>(status);
}

} // namespace

// The parameters are named in the list and not looked at here.
#pragma GCC diagnostic ignored "-Wunused-parameter"
#define RECORDING_DEFAULT(name, position, result, parameters, ...)                                           \
    [[gnu::weak]] result name parameters                                                                     \
    {                                                                                                        \
        return recordedByName<result>(#name);                                                                \
    }
TALVO_DRIVER_FUNCTIONS(RECORDING_DEFAULT, TALVO_DRIVER_SKIP)
#undef RECORDING_DEFAULT
