// Feeds arbitrary text to the simulated key's state parser. A text it takes must encode back
// to a text that decodes to the same state: what the driver writes, it reads again.

#include "simulator/key/StateCodec.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    talvo::sim::KeyState state;
    std::string error;
    if (!talvo::sim::decodeState(text, state, &error)) {
        if (error.empty()) {
            std::fprintf(stderr, "a refused state names no fault\n");
            std::abort();
        }
        return 0;
    }
    const std::string encoded = talvo::sim::encodeState(state);
    talvo::sim::KeyState again;
    if (!talvo::sim::decodeState(encoded, again, &error) || !(again == state)) {
        std::fprintf(stderr, "the encoded state does not read back: %s\n", error.c_str());
        std::abort();
    }
    return 0;
}
