#pragma once

#include <openssl/evp.h>

#include <optional>
#include <string>
#include <string_view>

namespace talvo::sim {

enum class KeyPair { Signature, Exchange };

// One RSA pair of the key's container. Its public half is at hand; its private operations
// run wherever the private key lives: in this process for a PEM file, on the token for a
// token-backed key, which never gives the key out.
class ContainerKey {
public:
    virtual ~ContainerKey() = default;

    virtual EVP_PKEY* publicKey() const = 0;
    // RSASSA-PKCS1-v1_5 over an encoded DigestInfo (CKM_RSA_PKCS): the big-endian signature.
    virtual std::optional<std::string> signDigestInfo(std::string_view digestInfo) = 0;
    // RSAES-PKCS1-v1_5 of a big-endian ciphertext; bad padding is refused, never answered with
    // a stand-in message.
    virtual std::optional<std::string> decrypt(std::string_view ciphertext) = 0;
};

// The DER DigestInfo of an MD5 or SHA-256 digest, as PKCS#1 v1.5 signs it.
std::string md5DigestInfo(std::string_view digest);
std::string sha256DigestInfo(std::string_view digest);

} // namespace talvo::sim
