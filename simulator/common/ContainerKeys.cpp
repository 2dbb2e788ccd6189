#include "ContainerKeys.h"

#include "SimDirectory.h"

#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

namespace talvo::sim {

namespace {

// A 4096-bit RSA key in PKCS#8 PEM is about 3.3 KB; nothing this big is a key of ours.
constexpr std::size_t kMaxPemSize = 64 * 1024;
constexpr std::size_t kMaxNameFileSize = 4 * 1024;

std::string opensslError(const std::string& what)
{
    const unsigned long code = ERR_get_error();
    char text[256] = {};
    if (code != 0)
        ERR_error_string_n(code, text, sizeof text);
    return what + (code != 0 ? std::string(": ") + text : std::string());
}

bool pemOfNewPair(std::string& pem, std::string* error)
{
    EvpPkeyPtr key(EVP_RSA_gen(2048));
    if (!key) {
        if (error)
            *error = opensslError("cannot generate an RSA key pair");
        return false;
    }
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new(BIO_s_mem()), BIO_free);
    if (!bio || PEM_write_bio_PrivateKey(bio.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) != 1) {
        if (error)
            *error = opensslError("cannot encode an RSA key pair");
        return false;
    }
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio.get(), &data);
    pem.assign(data, static_cast<size_t>(size));
    return true;
}

} // namespace

ContainerFiles containerFiles(const std::filesystem::path& dir)
{
    return {dir / "signature.pem", dir / "exchange.pem", dir / "container.name"};
}

bool createContainer(const std::filesystem::path& dir, const std::string& containerName, std::string* error)
{
    const ContainerFiles files = containerFiles(dir);
    std::string signaturePem;
    std::string exchangePem;
    return pemOfNewPair(signaturePem, error) && pemOfNewPair(exchangePem, error) &&
           writeFileAtomically(files.signatureKey, signaturePem, error) &&
           writeFileAtomically(files.exchangeKey, exchangePem, error) &&
           writeFileAtomically(files.name, containerName, error);
}

EvpPkeyPtr loadPrivateKey(const std::filesystem::path& pemFile, std::string* error)
{
    std::string pem;
    if (readKeyFile(pemFile, kMaxPemSize, pem, error) != FileRead::Read)
        return nullptr;
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())),
                                                  BIO_free);
    EvpPkeyPtr key(bio ? PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr) : nullptr);
    if (!key || EVP_PKEY_get_base_id(key.get()) != EVP_PKEY_RSA) {
        if (error)
            *error = opensslError("not an RSA private key in PEM form: " + pemFile.string());
        return nullptr;
    }
    return key;
}

bool readContainerName(const std::filesystem::path& dir, std::string& name, std::string* error)
{
    if (readKeyFile(containerFiles(dir).name, kMaxNameFileSize, name, error) != FileRead::Read)
        return false;
    if (name.empty() || name.find('\0') != std::string::npos || name.size() > 255) {
        if (error)
            *error = "damaged container name in " + containerFiles(dir).name.string();
        return false;
    }
    return true;
}

} // namespace talvo::sim
