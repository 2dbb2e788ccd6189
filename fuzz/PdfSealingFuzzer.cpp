// Feeds arbitrary bytes to the sealing library as the PDF a key holder opens: it is read, its
// page found and one seal's update prepared, signed and written, with a software signer in
// place of the key. A document that seals grows by an update after its own unchanged bytes; one
// that does not leaves no output and says why; nothing else is left behind.

#include "FuzzScratch.h"
#include "pdf/DocumentSealing.h"

#include <openssl/evp.h>
#include <openssl/pem.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::filesystem::path g_workDir;
std::vector<uint8_t> g_picture;

void fail(const char* what, const std::string& detail)
{
    std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
    std::abort();
}

// The signature key stays in memory, as it would stay in the key.
class SoftwareSigner : public talvo::pdf::DigestSigner {
public:
    SoftwareSigner()
    {
        const std::string pem = talvo::fuzz::readWholeFile(TALVO_FUZZ_SIGNER_DIR "/signature.pem");
        const std::unique_ptr<BIO, decltype(&BIO_free)> bio(
            BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())), BIO_free);
        m_key.reset(bio ? PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr) : nullptr);
        const std::string der = talvo::fuzz::readWholeFile(TALVO_FUZZ_SIGNER_DIR "/certificate.der");
        m_certificate.assign(der.begin(), der.end());
        if (!m_key || m_certificate.empty())
            fail("no signer", TALVO_FUZZ_SIGNER_DIR);
    }

    bool certificate(std::vector<uint8_t>& der, std::string& /*error*/) override
    {
        der = m_certificate;
        return true;
    }

    bool signSha256(const std::array<uint8_t, 32>& digest, std::vector<uint8_t>& signature,
                    std::string& error) override
    {
        const std::unique_ptr<EVP_PKEY_CTX, decltype(&EVP_PKEY_CTX_free)> context(
            EVP_PKEY_CTX_new(m_key.get(), nullptr), EVP_PKEY_CTX_free);
        std::size_t length = 0;
        if (!context || EVP_PKEY_sign_init(context.get()) != 1 ||
            EVP_PKEY_CTX_set_rsa_padding(context.get(), RSA_PKCS1_PADDING) != 1 ||
            EVP_PKEY_CTX_set_signature_md(context.get(), EVP_sha256()) != 1 ||
            EVP_PKEY_sign(context.get(), nullptr, &length, digest.data(), digest.size()) != 1) {
            error = "cannot sign";
            return false;
        }
        signature.resize(length);
        if (EVP_PKEY_sign(context.get(), signature.data(), &length, digest.data(), digest.size()) != 1) {
            error = "cannot sign";
            return false;
        }
        signature.resize(length);
        return true;
    }

private:
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> m_key{nullptr, EVP_PKEY_free};
    std::vector<uint8_t> m_certificate;
};

} // namespace

int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    g_workDir = talvo::fuzz::makeScratchDirectory("talvo-pdf-fuzz");
    const std::string picture = talvo::fuzz::readWholeFile(TALVO_FUZZ_SEAL_PICTURE);
    g_picture.assign(picture.begin(), picture.end());
    return 0;
}

int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static SoftwareSigner signer;
    const std::filesystem::path input = g_workDir / "input.pdf";
    const std::filesystem::path output = g_workDir / "sealed.pdf";
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::filesystem::remove(output);
    {
        std::ofstream out(input, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    talvo::pdf::SealStamp stamp;
    stamp.placement = {1, 105, 148.5, 40};
    stamp.picture = g_picture;
    stamp.sealName = "合同专用章";
    stamp.reason = "fuzz";
    const talvo::pdf::SealingResult result =
        talvo::pdf::sealDocument(input.string(), output.string(), {stamp}, signer, 1700000000);

    if (talvo::fuzz::readWholeFile(input) != bytes)
        fail("the document was changed", input.string());
    if (!result.ok) {
        if (result.error.empty())
            fail("a document that did not seal names no reason", "");
        if (talvo::fuzz::entriesOf(g_workDir) != std::set<std::string>{"input.pdf"})
            fail("a document that did not seal left a file behind", "");
        return 0;
    }
    const std::string sealed = talvo::fuzz::readWholeFile(output);
    if (sealed.size() <= bytes.size() || sealed.compare(0, bytes.size(), bytes) != 0)
        fail("the sealed document does not keep the document's bytes before its update", "");
    if (talvo::fuzz::entriesOf(g_workDir) != std::set<std::string>{"input.pdf", "sealed.pdf"})
        fail("sealing left a file behind", "");
    return 0;
}
