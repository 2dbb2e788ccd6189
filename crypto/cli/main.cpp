// talvo-sec: packs a document into a secure message file, or unpacks one, with the simulated
// key's provider, for operators and scripts.

#include "crypto/SecureMessage.h"
#include "platform/core/NativePath.h"
#include "platform/core/StandardStreams.h"
#include "platform/core/StderrReporter.h"

#include <clocale>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kProgramName = "talvo-sec";

void printUsage(std::FILE* stream)
{
    std::fprintf(stream,
                 "Usage: %s pack SOURCE OUTPUT\n"
                 "       %s unpack SECURE TARGET\n"
                 "\n"
                 "pack    signs SOURCE with the key's signature key, encrypts it with a fresh DES key\n"
                 "        wrapped for the key's exchange key, and writes the secure message file OUTPUT.\n"
                 "unpack  decrypts the secure message file SECURE into TARGET and verifies its signature.\n"
                 "\n"
                 "Messages go to standard error. Exit status: 0 on success, 1 on failure.\n",
                 kProgramName, kProgramName);
}

} // namespace

int main(int argc, char** argv)
{
    talvo::holdClosedStandardStreams();
    std::setlocale(LC_ALL, "");
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        printUsage(stdout);
        return 0;
    }
    const bool pack = argc == 4 && std::strcmp(argv[1], "pack") == 0;
    const bool unpack = argc == 4 && std::strcmp(argv[1], "unpack") == 0;
    if (!pack && !unpack) {
        printUsage(stderr);
        return 1;
    }
    const QString input = talvo::decodeNativePath(argv[2]);
    const QString output = talvo::decodeNativePath(argv[3]);
    if (input.isEmpty() || output.isEmpty()) {
        printUsage(stderr);
        return 1;
    }

    talvo::StderrReporter reporter(kProgramName);
    talvo::SecureMessage operations(reporter);
    const bool succeeded =
        pack ? operations.GenerateSecureMessage(input, output) : operations.ParseSecureMessage(input, output);
    if (!succeeded)
        reporter.reportError(pack ? QStringLiteral("生成安全报文失败!") : QStringLiteral("解析安全报文失败!"),
                             QString());
    return succeeded ? 0 : 1;
}
