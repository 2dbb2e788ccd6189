#pragma once

#include <openssl/evp.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace talvo::testing {

// OpenSSL's own primitives, to check the provider's formats against.
using Bytes = std::vector<unsigned char>;

struct PkeyDeleter {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
using PkeyPtr = std::unique_ptr<EVP_PKEY, PkeyDeleter>;

PkeyPtr loadPemKey(const std::filesystem::path& file);
Bytes reversedBytes(Bytes bytes);
Bytes md5Of(const Bytes& data);
// A standard (big-endian) RSASSA-PKCS1-v1_5 signature over MD5 of the data.
bool verifiesAsPkcs1Md5(EVP_PKEY* key, const Bytes& data, const Bytes& signature);
std::optional<Bytes> rsaPkcs1Decrypt(EVP_PKEY* key, const Bytes& ciphertext);
// DES-CBC with an all-zero IV and PKCS#5 padding.
std::optional<Bytes> desCbc(const Bytes& key, const Bytes& data, bool encrypt);
Bytes bytesOf(const std::string& text);

} // namespace talvo::testing
