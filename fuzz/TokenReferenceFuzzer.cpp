// Feeds arbitrary bytes to the reader of a token-backed key's reference file and to the reading
// of its PKCS#11 URI, up to where a module would be loaded. A reference it takes must write
// back to the same bytes, and a URI it takes must hold no PIN and name its PIN file absolutely.

#include "FuzzScratch.h"
#include "simulator/token/TokenReference.h"
#include "simulator/token/TokenUri.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::filesystem::path g_workDir;

void fail(const char* what, const std::string& text)
{
    std::fprintf(stderr, "%s: %s\n", what, text.c_str());
    std::abort();
}

} // namespace

int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    g_workDir = talvo::fuzz::makeScratchDirectory("talvo-token-fuzz");
    return 0;
}

int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::filesystem::path file = talvo::sim::tokenReferenceFile(g_workDir);
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    talvo::sim::TokenReference reference;
    std::string error;
    const talvo::sim::ReferenceRead read = talvo::sim::readTokenReference(g_workDir, reference, &error);
    if (read == talvo::sim::ReferenceRead::Missing)
        fail("a reference file that is there was missed", file.string());
    if (read == talvo::sim::ReferenceRead::Refused) {
        if (error.empty())
            fail("a refused reference names no fault", bytes);
        return 0;
    }
    if (!talvo::sim::writeTokenReference(g_workDir, reference, &error) ||
        talvo::fuzz::readWholeFile(file) != bytes)
        fail("a reference that was read does not write back the same", error);

    std::filesystem::path pinFile;
    const talvo::sim::TokenUri uri = talvo::sim::readTokenUri(reference, pinFile, &error);
    if (!uri) {
        if (error.empty())
            fail("a refused URI names no fault", reference.uri);
        return 0;
    }
    if (p11_kit_uri_get_pin_value(uri.get()))
        fail("a URI with a PIN in it was taken", reference.uri);
    if (!pinFile.empty() && !pinFile.is_absolute())
        fail("a PIN file named by a relative path was taken", pinFile.string());
    return 0;
}
