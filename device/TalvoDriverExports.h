#pragma once

#include "device/TalvoDriverApi.h"

// Every driver function declared with C linkage and default visibility, for the libraries that
// serve as the driver: the simulated key and the tests' stand-ins. A definition must match its
// declaration, and one under a name that is not on the list has none, which
// -Werror=missing-declarations refuses.
#define TALVO_DRIVER_EXPORT extern "C" __attribute__((visibility("default")))

#define TALVO_DECLARE_CALLED(name, position, result, parameters, ...)                                        \
    TALVO_DRIVER_EXPORT result name parameters;
// Bound by the tool but never called: no form of its own.
#define TALVO_DECLARE_BOUND_ONLY(name, position) TALVO_DRIVER_EXPORT int32_t name(void);
TALVO_DRIVER_FUNCTIONS(TALVO_DECLARE_CALLED, TALVO_DECLARE_BOUND_ONLY)
#undef TALVO_DECLARE_CALLED
#undef TALVO_DECLARE_BOUND_ONLY
