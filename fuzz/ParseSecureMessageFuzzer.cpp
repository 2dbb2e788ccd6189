// Feeds arbitrary bytes to the secure message reader as the content of a secure message file,
// with a real container, and checks that the input is never changed, nothing but the target
// is written, and a message that does not open leaves the target as it was.
//
// Built and run by scripts/fuzz.sh.

#include "FuzzScratch.h"
#include "crypto/SecureMessage.h"
#include "platform/core/ErrorReporter.h"

#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

class SilentReporter : public talvo::ErrorReporter {
public:
    void reportError(const QString& /*text*/, const QString& /*caption*/) override {}
};

std::filesystem::path g_workDir;

} // namespace

int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    g_workDir = talvo::fuzz::makeScratchDirectory("talvo-sec-fuzz");
    const std::filesystem::path container = g_workDir / "key";
    std::filesystem::create_directory(container);
    std::filesystem::copy(TALVO_FUZZ_CONTAINER_DIR, container, std::filesystem::copy_options::recursive);
    ::setenv("TALVO_SIM_DIR", container.c_str(), 1);
    ::setenv("TALVO_CSP_REGISTRY", TALVO_CSP_REGISTRY_DIR, 1);
    return 0;
}

int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::filesystem::path input = g_workDir / "input.sec";
    const std::filesystem::path target = g_workDir / "target.bin";
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string previous = "the target before the unpack\n";
    for (const auto& [file, content] : {std::pair{input, bytes}, std::pair{target, previous}}) {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
    }
    SilentReporter reporter;
    talvo::SecureMessage reader(reporter);
    const bool opened = reader.ParseSecureMessage(QString::fromStdString(input.string()),
                                                  QString::fromStdString(target.string()));

    if (talvo::fuzz::readWholeFile(input) != bytes) {
        std::fputs("the secure message file was changed\n", stderr);
        std::abort();
    }
    if (talvo::fuzz::entriesOf(g_workDir) != std::set<std::string>{"input.sec", "key", "target.bin"}) {
        std::fputs("a file other than the target was written, or left behind\n", stderr);
        std::abort();
    }
    if (!opened && talvo::fuzz::readWholeFile(target) != previous) {
        std::fputs("a message that did not open changed the target\n", stderr);
        std::abort();
    }
    return 0;
}
