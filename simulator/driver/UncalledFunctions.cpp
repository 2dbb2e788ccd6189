#include "device/TalvoDriverExports.h"

#define TALVO_UNCALLED(name, position)                                                                       \
    int32_t name(void)                                                                                       \
    {                                                                                                        \
        return TL_OK;                                                                                        \
    }
TALVO_DRIVER_FUNCTIONS(TALVO_DRIVER_SKIP, TALVO_UNCALLED)
#undef TALVO_UNCALLED

namespace {

// Every listed name, so that the link (with -z defs) fails for one that no file here defines.
#define TALVO_ADDRESS(name, ...) reinterpret_cast<const void*>(&name),
[[gnu::used]] const void* const kEveryExport[] = {TALVO_DRIVER_FUNCTIONS(TALVO_ADDRESS, TALVO_ADDRESS)};
#undef TALVO_ADDRESS

} // namespace
