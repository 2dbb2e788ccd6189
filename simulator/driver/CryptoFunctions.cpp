// The key's certificate and its signature key.
#include "DriverGuard.h"
#include "KeyCall.h"
#include "device/TalvoDriverExports.h"

#include "simulator/common/ContainerKey.h"
#include "simulator/common/ContainerKeys.h"
#include "simulator/key/KeyCertificate.h"
#include "simulator/key/PinHash.h"

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/x509.h>

#include <limits>
#include <memory>
#include <optional>

using talvo::sim::guarded;
using talvo::sim::KeyCall;

namespace {

using Access = KeyCall::Access;

struct DigestContextDeleter {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
using DigestContext = std::unique_ptr<EVP_MD_CTX, DigestContextDeleter>;

// A DER public key longer than this is no key the driver could have handed out.
constexpr uint32_t kMaxPublicKeyLength = 64 * 1024;
constexpr uint32_t kMaxSignatureLength = 64 * 1024;

std::unique_ptr<talvo::sim::ContainerKey> signatureKey(KeyCall& call)
{
    std::string error;
    std::unique_ptr<talvo::sim::ContainerKey> key =
        call.store().containerKey(talvo::sim::KeyPair::Signature, &error);
    if (!key)
        call.damaged(error);
    return key;
}

// RSA with SHA-256 over the PIN bytes, the private operation wherever the key lives.
bool sign(talvo::sim::ContainerKey& key, const char* pin, std::size_t length, std::string& signature)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (EVP_Digest(pin, length, digest, &size, EVP_sha256(), nullptr) != 1)
        return false;
    std::optional<std::string> bytes = key.signDigestInfo(
        talvo::sim::sha256DigestInfo(std::string_view(reinterpret_cast<char*>(digest), size)));
    if (!bytes)
        return false;
    signature = std::move(*bytes);
    return true;
}

bool verifies(EVP_PKEY* key, const char* pin, std::size_t length, const uint8_t* signature, std::size_t size)
{
    const DigestContext context(EVP_MD_CTX_new());
    const bool good = context &&
                      EVP_DigestVerifyInit(context.get(), nullptr, EVP_sha256(), nullptr, key) == 1 &&
                      EVP_DigestVerify(context.get(), signature, size,
                                       reinterpret_cast<const unsigned char*>(pin), length) == 1;
    ERR_clear_error(); // a refused signature is an answer, not an error to keep
    return good;
}

} // namespace

int32_t TLKeyReadCert(uint8_t* cert, uint32_t* length)
{
    return onKey(__func__, Access::Read, [&](KeyCall& call) -> int32_t {
        if (!length)
            return TL_ERR_PARAMETER;
        std::string der;
        std::string error;
        if (!call.store().readCertificate(der, &error))
            return call.damaged(error);
        // Kept as DER on the key, handed out as PEM: readable as text and opened by any viewer.
        const std::string pem = talvo::sim::certificatePem(der);
        if (pem.empty())
            return call.damaged("cannot encode the certificate");
        return talvo::sim::deliverBytes(pem, cert, length);
    });
}

int32_t TLKeyGetSignature(const char* pin, int32_t pinLength, uint8_t* signature, uint32_t* length)
{
    return onKey(__func__, Access::Read, [&](KeyCall& call) -> int32_t {
        if (!pin || !length || !talvo::sim::isPinLength(pinLength))
            return TL_ERR_PARAMETER;
        const auto pinSize = static_cast<std::size_t>(pinLength);
        if (talvo::sim::pinHash(pin, pinSize) != call.state().pinHash)
            return TL_ERR_API;
        const std::unique_ptr<talvo::sim::ContainerKey> key = signatureKey(call);
        if (!key)
            return call.store().failureStatus();
        std::string bytes;
        if (!sign(*key, pin, pinSize, bytes))
            return call.damaged("cannot sign with the signature key");
        return talvo::sim::deliverBytes(bytes, signature, length);
    });
}

int32_t TLKeyGetPublicKey(uint8_t* publicKey, uint32_t* length)
{
    return onKey(__func__, Access::Read, [&](KeyCall& call) -> int32_t {
        if (!length)
            return TL_ERR_PARAMETER;
        const std::unique_ptr<talvo::sim::ContainerKey> key = signatureKey(call);
        if (!key)
            return call.store().failureStatus();
        const int size = i2d_PUBKEY(key->publicKey(), nullptr);
        if (size <= 0)
            return call.damaged("cannot encode the public key");
        std::string der(static_cast<std::size_t>(size), '\0');
        auto* cursor = reinterpret_cast<unsigned char*>(der.data());
        if (i2d_PUBKEY(key->publicKey(), &cursor) != size)
            return call.damaged("cannot encode the public key");
        return talvo::sim::deliverBytes(der, publicKey, length);
    });
}

int32_t TLVerifySign(const char* pin, int32_t pinLength, const uint8_t* publicKey, uint32_t publicKeyLength,
                     const uint8_t* signature, uint32_t signatureLength, uint8_t* verified)
{
    return onKey(__func__, Access::Read, [&](KeyCall&) -> int32_t {
        if (!pin || !publicKey || !signature || !verified || !talvo::sim::isPinLength(pinLength) ||
            publicKeyLength == 0 || publicKeyLength > kMaxPublicKeyLength || signatureLength == 0 ||
            signatureLength > kMaxSignatureLength)
            return TL_ERR_PARAMETER;
        *verified = 0;
        const unsigned char* cursor = publicKey;
        const talvo::sim::EvpPkeyPtr key(d2i_PUBKEY(nullptr, &cursor, static_cast<long>(publicKeyLength)));
        if (!key || cursor != publicKey + publicKeyLength) {
            ERR_clear_error();
            return TL_ERR_PARAMETER;
        }
        *verified =
            verifies(key.get(), pin, static_cast<std::size_t>(pinLength), signature, signatureLength) ? 1 : 0;
        return TL_OK;
    });
}
