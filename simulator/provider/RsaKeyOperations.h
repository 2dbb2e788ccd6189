#pragma once

#include "platform/cryptoapi/WinCryptTypes.h"
#include "simulator/common/ContainerKey.h"

#include <openssl/evp.h>

#include <optional>
#include <vector>

namespace talvo::csp {

// RSA in the byte order of the Microsoft providers: every signature and every wrapped key is
// the big-endian PKCS#1 value with its bytes reversed.
using ByteVector = std::vector<BYTE>;

DWORD modulusBytes(EVP_PKEY* key);

// RSASSA-PKCS1-v1_5 over the DigestInfo of an MD5 or SHA-256 digest (CALG_MD5, CALG_SHA_256).
std::optional<ByteVector> signDigestReversed(sim::ContainerKey& key, ALG_ID algorithm,
                                             const ByteVector& digest);
bool verifyDigestReversed(EVP_PKEY* key, ALG_ID algorithm, const ByteVector& digest, const BYTE* signature,
                          DWORD length);

// RSAES-PKCS1-v1_5.
std::optional<ByteVector> encryptReversed(EVP_PKEY* key, const BYTE* data, DWORD length);
// Refuses bad padding outright rather than answering with a stand-in message.
std::optional<ByteVector> decryptReversed(sim::ContainerKey& key, const BYTE* data, DWORD length);

} // namespace talvo::csp
