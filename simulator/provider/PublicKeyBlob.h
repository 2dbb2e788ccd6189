#pragma once

#include "RsaKeyOperations.h"

#include <optional>

namespace talvo::csp {

// A PUBLICKEYBLOB: BLOBHEADER (type, version 2, reserved 0, the pair's ALG_ID), RSAPUBKEY
// ("RSA1", the modulus length in bits, the public exponent), then the modulus, all integers
// little-endian. Nothing when the key is no RSA key.
std::optional<ByteVector> publicKeyBlob(EVP_PKEY* key, ALG_ID keyAlgorithm);

} // namespace talvo::csp
