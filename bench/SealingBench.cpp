// Seals a PDF of about 100 MB (made here with qpdf: pages of incompressible images) and
// compares the time with copying the same file while hashing it with SHA-256, the least any
// stamping must do. Each run is a child process of its own, so that its peak resident size is
// its own. The figures are CPU time as well as wall time: the machine may be shared.

#include "pdf/DocumentSealing.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <openssl/evp.h>
#include <openssl/rand.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kPageCount = 100;
constexpr int kImageSide = 590; // 590 x 590 RGB: about 1 MB a page
constexpr std::size_t kPiece = 1 << 20;
// The best of several rounds: the kernel's share (page cache, write-back) varies on a shared machine.
constexpr int kRounds = 5;

// A signer with a key of its own: the benchmark measures the document's work, not a key's.
class BenchSigner final : public talvo::pdf::DigestSigner {
public:
    BenchSigner() : m_key(EVP_RSA_gen(2048))
    {
        X509* certificate = X509_new();
        X509_set_version(certificate, 2);
        ASN1_INTEGER_set(X509_get_serialNumber(certificate), 1);
        X509_gmtime_adj(X509_getm_notBefore(certificate), 0);
        X509_gmtime_adj(X509_getm_notAfter(certificate), 3600);
        X509_set_pubkey(certificate, m_key);
        X509_NAME_add_entry_by_txt(X509_get_subject_name(certificate), "CN", MBSTRING_UTF8,
                                   reinterpret_cast<const unsigned char*>("bench"), -1, -1, 0);
        X509_set_issuer_name(certificate, X509_get_subject_name(certificate));
        X509_sign(certificate, m_key, EVP_sha256());
        unsigned char* der = nullptr;
        const int length = i2d_X509(certificate, &der);
        m_certificate.assign(der, der + std::max(length, 0));
        OPENSSL_free(der);
        X509_free(certificate);
    }
    ~BenchSigner() override { EVP_PKEY_free(m_key); }
    BenchSigner(const BenchSigner&) = delete;
    BenchSigner& operator=(const BenchSigner&) = delete;

    bool certificate(std::vector<uint8_t>& der, std::string&) override
    {
        der = m_certificate;
        return true;
    }
    bool signSha256(const std::array<uint8_t, 32>& digest, std::vector<uint8_t>& signature,
                    std::string&) override
    {
        EVP_PKEY_CTX* ctx = EVP_PKEY_CTX_new(m_key, nullptr);
        std::size_t length = 512;
        signature.resize(length);
        const bool ok = ctx && EVP_PKEY_sign_init(ctx) == 1 &&
                        EVP_PKEY_CTX_set_rsa_padding(ctx, RSA_PKCS1_PADDING) == 1 &&
                        EVP_PKEY_CTX_set_signature_md(ctx, EVP_sha256()) == 1 &&
                        EVP_PKEY_sign(ctx, signature.data(), &length, digest.data(), digest.size()) == 1;
        EVP_PKEY_CTX_free(ctx);
        signature.resize(length);
        return ok;
    }

private:
    EVP_PKEY* m_key;
    std::vector<uint8_t> m_certificate;
};

std::vector<uint8_t> sealGif()
{
    // A 2 x 2 GIF89a: red, with white as its transparent colour.
    return {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x02, 0x00, 0x02, 0x00, 0x80, 0x00, 0x00, 0xff, 0xff,
            0xff, 0xff, 0x00, 0x00, 0x21, 0xf9, 0x04, 0x01, 0x00, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00,
            0x00, 0x00, 0x02, 0x00, 0x02, 0x00, 0x00, 0x02, 0x02, 0x8c, 0x53, 0x00, 0x3b};
}

void makeDocument(const std::string& path)
{
    QPDF document;
    document.emptyPDF();
    QPDFPageDocumentHelper pages(document);
    std::string pixels(static_cast<std::size_t>(kImageSide) * kImageSide * 3, '\0');
    for (int i = 0; i < kPageCount; ++i) {
        RAND_bytes(reinterpret_cast<unsigned char*>(pixels.data()), static_cast<int>(pixels.size()));
        QPDFObjectHandle image = document.newStream(pixels);
        image.replaceDict(QPDFObjectHandle::parse(
            "<< /Type /XObject /Subtype /Image /Width " + std::to_string(kImageSide) + " /Height " +
            std::to_string(kImageSide) + " /ColorSpace /DeviceRGB /BitsPerComponent 8 >>"));
        QPDFObjectHandle page = document.makeIndirectObject(QPDFObjectHandle::parse(
            "<< /Type /Page /MediaBox [0 0 595 842] /Resources << /XObject << >> >> >>"));
        page.getKey("/Resources").getKey("/XObject").replaceKey("/Im", image);
        page.replaceKey("/Contents", document.newStream("q 500 0 0 500 47 171 cm /Im Do Q"));
        pages.addPage(page, false);
    }
    QPDFWriter writer(document, path.c_str());
    writer.setStreamDataMode(qpdf_s_uncompress);
    writer.write();
}

bool copyAndHash(const std::string& from, const std::string& to)
{
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    EVP_MD_CTX* hash = EVP_MD_CTX_new();
    bool ok = in >= 0 && out >= 0 && hash && EVP_DigestInit_ex(hash, EVP_sha256(), nullptr) == 1;
    std::vector<char> piece(kPiece);
    for (ssize_t count = 0; ok && (count = ::read(in, piece.data(), piece.size())) > 0;)
        ok = EVP_DigestUpdate(hash, piece.data(), static_cast<std::size_t>(count)) == 1 &&
             ::write(out, piece.data(), static_cast<std::size_t>(count)) == count;
    unsigned char digest[32];
    ok = ok && EVP_DigestFinal_ex(hash, digest, nullptr) == 1 && ::fsync(out) == 0;
    EVP_MD_CTX_free(hash);
    if (in >= 0)
        ::close(in);
    if (out >= 0)
        ::close(out);
    return ok;
}

struct Measure {
    double wall = 0;
    double cpu = 0;
    long peakKiB = 0;
    bool ok = false;
};

double seconds(const timeval& time)
{
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) * 1e-6;
}

Measure inChild(const std::function<bool()>& work)
{
    Measure measure;
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(work() ? 0 : 1);
    int status = 0;
    rusage usage{};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child)
        return measure;
    measure.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    measure.cpu = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    measure.peakKiB = usage.ru_maxrss;
    measure.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return measure;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string directory = argc > 1 ? argv[1] : "/tmp";
    const std::string input = directory + "/talvo-sealing-bench-in.pdf";
    const std::string copy = directory + "/talvo-sealing-bench-copy.pdf";
    const std::string output = directory + "/talvo-sealing-bench-out.pdf";
    makeDocument(input);
    BenchSigner signer;
    talvo::pdf::SealStamp stamp;
    stamp.placement = {kPageCount, 100, 100, 40};
    stamp.picture = sealGif();
    stamp.sealName = "bench";

    Measure best[2];
    // Both write a new file each round: neither pays for dropping the previous round's.
    for (int round = 0; round < kRounds; ++round) {
        ::unlink(copy.c_str());
        ::unlink(output.c_str());
        const Measure baseline = inChild([&] { return copyAndHash(input, copy); });
        const Measure sealing = inChild(
            [&] { return talvo::pdf::sealDocument(input, output, {stamp}, signer, std::time(nullptr)).ok; });
        if (!baseline.ok || !sealing.ok) {
            std::fprintf(stderr, "a run failed\n");
            return 1;
        }
        for (int i = 0; i < 2; ++i) {
            const Measure& measured = i == 0 ? baseline : sealing;
            if (round == 0 || measured.wall < best[i].wall)
                best[i] = measured;
        }
    }
    FILE* file = std::fopen(input.c_str(), "rb");
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fclose(file);
    std::printf("document: %.1f MB, %d pages\n", static_cast<double>(size) / 1e6, kPageCount);
    std::printf("copy + SHA-256: %.3f s wall, %.3f s CPU, peak %ld KiB\n", best[0].wall, best[0].cpu,
                best[0].peakKiB);
    std::printf("sealing:        %.3f s wall, %.3f s CPU, peak %ld KiB\n", best[1].wall, best[1].cpu,
                best[1].peakKiB);
    std::printf("ratio: %.2f wall, %.2f CPU (limit 2)\n", best[1].wall / best[0].wall,
                best[1].cpu / best[0].cpu);
    ::unlink(input.c_str());
    ::unlink(copy.c_str());
    ::unlink(output.c_str());
    return 0;
}
