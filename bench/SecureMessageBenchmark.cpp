// Packs and unpacks files of 64 MB and 1 GB and, on the same data, measures OpenSSL's raw
// DES-CBC and MD5 speed. Each size runs in a child process of its own, so that each peak
// resident size belongs to one size alone.

#include "crypto/SecureMessage.h"
#include "platform/core/ErrorReporter.h"
#include "simulator/common/ContainerKeys.h"

#include <QString>

#include <openssl/evp.h>
#include <openssl/provider.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr size_t kChunk = 64 * 1024;

// The machine is shared, so every figure is taken both on the wall clock and in the CPU time
// of this process alone; shares of the limit compare like with like.
struct Stopwatch {
    std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
    double cpu = cpuSeconds();

    static double cpuSeconds()
    {
        timespec now{};
        ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
    }
};

struct Elapsed {
    double wall = 0;
    double cpu = 0;

    void add(const Stopwatch& since)
    {
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - since.wall).count();
        cpu += Stopwatch::cpuSeconds() - since.cpu;
    }
};

class PrintingReporter : public talvo::ErrorReporter {
public:
    void reportError(const QString& text, const QString& /*caption*/) override
    {
        std::fprintf(stderr, "box: %s\n", text.toUtf8().constData());
    }
};

long peakResidentKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

bool writeTestFile(const std::filesystem::path& file, size_t megabytes)
{
    std::vector<unsigned char> block(1024 * 1024);
    uint64_t state = 0x9E3779B97F4A7C15ull;
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (!out)
        return false;
    for (size_t m = 0; m < megabytes; ++m) {
        for (size_t i = 0; i < block.size(); i += 8) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            std::memcpy(block.data() + i, &state, 8);
        }
        std::fwrite(block.data(), 1, block.size(), out);
    }
    return std::fclose(out) == 0;
}

// Seconds spent in OpenSSL alone (reads are not counted), and the MD5 digest.
struct RawTimes {
    Elapsed md5;
    Elapsed des;
    Elapsed desDecrypt;
    std::vector<unsigned char> digest;
};

bool rawThroughput(const std::filesystem::path& file, RawTimes& times)
{
    OSSL_LIB_CTX* context = OSSL_LIB_CTX_new();
    OSSL_PROVIDER* defaults = OSSL_PROVIDER_load(context, "default");
    OSSL_PROVIDER* legacy = OSSL_PROVIDER_load(context, "legacy");
    EVP_MD* md5 = EVP_MD_fetch(context, "MD5", nullptr);
    EVP_CIPHER* des = EVP_CIPHER_fetch(context, "DES-CBC", nullptr);
    EVP_MD_CTX* mdCtx = EVP_MD_CTX_new();
    EVP_CIPHER_CTX* cipherCtx = EVP_CIPHER_CTX_new();
    EVP_CIPHER_CTX* decryptCtx = EVP_CIPHER_CTX_new();
    const unsigned char key[8] = {0x13, 0x34, 0x57, 0x79, 0x9B, 0xBC, 0xDF, 0xF1};
    const unsigned char iv[8] = {};
    bool ok = md5 && des && mdCtx && cipherCtx && EVP_DigestInit_ex2(mdCtx, md5, nullptr) == 1 &&
              EVP_EncryptInit_ex2(cipherCtx, des, key, iv, nullptr) == 1 && decryptCtx &&
              EVP_DecryptInit_ex2(decryptCtx, des, key, iv, nullptr) == 1 &&
              EVP_CIPHER_CTX_set_padding(decryptCtx, 0) == 1;
    std::vector<unsigned char> in(kChunk);
    std::vector<unsigned char> out(kChunk + 16);
    std::FILE* source = ok ? std::fopen(file.c_str(), "rb") : nullptr;
    ok = ok && source;
    while (ok) {
        const size_t count = std::fread(in.data(), 1, in.size(), source);
        if (count == 0)
            break;
        const Stopwatch md5Start;
        ok = EVP_DigestUpdate(mdCtx, in.data(), count) == 1;
        times.md5.add(md5Start);
        const Stopwatch desStart;
        int written = 0;
        ok =
            ok && EVP_EncryptUpdate(cipherCtx, out.data(), &written, in.data(), static_cast<int>(count)) == 1;
        times.des.add(desStart);
        // Whole blocks only (every chunk but the file's last), as a decrypting reader sees them.
        const Stopwatch decryptStart;
        ok = ok && EVP_DecryptUpdate(decryptCtx, out.data(), &written, in.data(),
                                     static_cast<int>(count & ~size_t{7})) == 1;
        times.desDecrypt.add(decryptStart);
    }
    if (ok) {
        times.digest.resize(16);
        unsigned int length = 0;
        int written = 0;
        ok = EVP_DigestFinal_ex(mdCtx, times.digest.data(), &length) == 1 &&
             EVP_EncryptFinal_ex(cipherCtx, out.data(), &written) == 1;
    }
    if (source)
        std::fclose(source);
    EVP_CIPHER_CTX_free(decryptCtx);
    EVP_CIPHER_CTX_free(cipherCtx);
    EVP_MD_CTX_free(mdCtx);
    EVP_CIPHER_free(des);
    EVP_MD_free(md5);
    OSSL_PROVIDER_unload(legacy);
    OSSL_PROVIDER_unload(defaults);
    OSSL_LIB_CTX_free(context);
    return ok;
}

int runOneSize(size_t megabytes, const std::filesystem::path& workDir)
{
    const std::filesystem::path source = workDir / "source.bin";
    const std::filesystem::path secure = workDir / "message.sec";
    const std::filesystem::path target = workDir / "target.bin";
    if (!writeTestFile(source, megabytes)) {
        std::fprintf(stderr, "cannot write the test file\n");
        return 1;
    }
    const double size = static_cast<double>(megabytes);

    RawTimes raw;
    if (!rawThroughput(source, raw)) {
        std::fprintf(stderr, "raw OpenSSL measurement failed\n");
        return 1;
    }
    PrintingReporter reporter;
    talvo::SecureMessage operations(reporter);
    Elapsed pack;
    Elapsed unpack;
    const Stopwatch packStart;
    const bool packed = operations.GenerateSecureMessage(QString::fromStdString(source.string()),
                                                         QString::fromStdString(secure.string()));
    pack.add(packStart);
    const Stopwatch unpackStart;
    const bool unpacked = packed && operations.ParseSecureMessage(QString::fromStdString(secure.string()),
                                                                  QString::fromStdString(target.string()));
    unpack.add(unpackStart);

    RawTimes check;
    const bool same = unpacked && rawThroughput(target, check) && check.digest == raw.digest;
    std::filesystem::remove(source);
    std::filesystem::remove(secure);
    std::filesystem::remove(target);
    if (!same) {
        std::fprintf(stderr, "pack/unpack failed or the target differs\n");
        return 1;
    }

    const auto limit = [&](double md5Seconds, double desSeconds) {
        return 1.0 / (md5Seconds / size + desSeconds / size);
    };
    const double packLimitCpu = limit(raw.md5.cpu, raw.des.cpu);
    const double unpackLimitCpu = limit(raw.md5.cpu, raw.desDecrypt.cpu);
    const double packLimitWall = limit(raw.md5.wall, raw.des.wall);
    const double unpackLimitWall = limit(raw.md5.wall, raw.desDecrypt.wall);
    std::printf("%6zu MB  raw (CPU time)   MD5 %6.1f MB/s  DES-CBC encrypt %5.1f MB/s  decrypt %5.1f MB/s\n",
                megabytes, size / raw.md5.cpu, size / raw.des.cpu, size / raw.desDecrypt.cpu);
    std::printf("%6zu MB  raw (wall clock) MD5 %6.1f MB/s  DES-CBC encrypt %5.1f MB/s  decrypt %5.1f MB/s\n",
                megabytes, size / raw.md5.wall, size / raw.des.wall, size / raw.desDecrypt.wall);
    const auto report = [&](const char* name, const Elapsed& elapsed, double cpuLimit, double wallLimit) {
        std::printf(
            "%6zu MB  %-6s limit %5.1f MB/s; CPU time %5.1f MB/s = %5.1f%%; wall clock %5.1f MB/s = %5.1f%% "
            "of %5.1f (%.2f s)\n",
            megabytes, name, cpuLimit, size / elapsed.cpu, 100.0 * size / elapsed.cpu / cpuLimit,
            size / elapsed.wall, 100.0 * size / elapsed.wall / wallLimit, wallLimit, elapsed.wall);
    };
    report("pack", pack, packLimitCpu, packLimitWall);
    report("unpack", unpack, unpackLimitCpu, unpackLimitWall);
    std::printf("%6zu MB  peak resident size (VmHWM) %ld KiB\n", megabytes, peakResidentKiB());
    std::fflush(stdout);
    return 0;
}

int runChild(const char* self, size_t megabytes, const std::filesystem::path& workDir)
{
    const pid_t child = ::fork();
    if (child < 0)
        return 1;
    if (child == 0) {
        const std::string size = std::to_string(megabytes);
        ::execl(self, self, "--one-size", size.c_str(), workDir.c_str(), static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--one-size") == 0)
        return runOneSize(std::strtoul(argv[2], nullptr, 10), argv[3]);

    std::vector<size_t> sizes = {64, 1024};
    if (argc > 1) {
        sizes.clear();
        for (int i = 1; i < argc; ++i) {
            char* end = nullptr;
            const unsigned long megabytes = std::strtoul(argv[i], &end, 10);
            if (megabytes == 0 || !end || *end != '\0') {
                std::fprintf(stderr,
                             "usage: %s [MEGABYTES ...]  (default: 64 1024)\n"
                             "Packs and unpacks a file of each size and measures raw MD5 and DES-CBC "
                             "on the same data.\n",
                             argv[0]);
                return 1;
            }
            sizes.push_back(megabytes);
        }
    }
    char pattern[] = "/tmp/talvo-sec-bench-XXXXXX";
    if (!::mkdtemp(pattern))
        return 1;
    const std::filesystem::path workDir = pattern;
    const std::filesystem::path key = workDir / "key";
    std::filesystem::create_directory(key);
    std::string error;
    if (!talvo::sim::createContainer(key, "TalvoBenchmark", &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    ::setenv("TALVO_SIM_DIR", key.c_str(), 1);

    int result = 0;
    for (const size_t megabytes : sizes)
        result |= runChild("/proc/self/exe", megabytes, workDir);
    std::filesystem::remove_all(workDir);
    return result;
}
