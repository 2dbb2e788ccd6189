// Feeds arbitrary text to the provider registry's entry parser. An entry it takes names a
// provider and a module.

#include "platform/cryptoapi/CspRegistry.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::optional<talvo::CspRegistryEntry> entry = talvo::parseCspRegistryEntry(text, "/registry");
    if (entry && (entry->name.empty() || entry->library.empty())) {
        std::fprintf(stderr, "an entry without a name or a module was taken\n");
        std::abort();
    }
    return 0;
}
