// Feeds arbitrary bytes to a token-backed key's loading as the value of one of its data
// objects: the record's, which is unwrapped and then read as the key's state, and a seal
// picture's, which is unwrapped and held to its recorded size. The same bytes are also wrapped
// as a payload, which must unwrap to them again, and read as the record inside a whole value.

#include "simulator/key/StateCodec.h"
#include "simulator/token/TokenObjects.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

void fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

void loadRecord(const std::string& value)
{
    std::string text;
    if (!talvo::sim::unwrapPayload(value, text))
        return;
    if (value.size() != talvo::sim::kPayloadHeaderSize + text.size())
        fail("an unwrapped payload is not the rest of its value");
    talvo::sim::KeyState state;
    std::string reason;
    if (!talvo::sim::decodeState(text, state, &reason) && reason.empty())
        fail("a refused record names no fault");
}

} // namespace

int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    loadRecord(bytes);
    std::string picture;
    if (talvo::sim::unwrapPayload(bytes, picture) && talvo::sim::wrapPayload(picture) != bytes)
        fail("a value unwraps to a payload that wraps otherwise");

    const std::string wrapped = talvo::sim::wrapPayload(bytes);
    std::string unwrapped;
    if (!talvo::sim::unwrapPayload(wrapped, unwrapped) || unwrapped != bytes)
        fail("a wrapped payload does not unwrap to itself");
    loadRecord(wrapped);
    // A value cut short by a crash or changed on the token is passed over.
    if (!wrapped.empty() && talvo::sim::unwrapPayload(wrapped.substr(0, wrapped.size() - 1), unwrapped))
        fail("a cut value unwrapped");
    return 0;
}
