#pragma once

#include "RsaKeyOperations.h"

#include <optional>

namespace talvo::csp {

// A SIMPLEBLOB: BLOBHEADER (type, version 2, reserved 0, the key's ALG_ID), the wrapping
// algorithm CALG_RSA_KEYX, then the wrapped key, all integers little-endian.
constexpr DWORD kSimpleBlobHeaderSize = 12;

ByteVector simpleBlob(ALG_ID keyAlgorithm, const ByteVector& wrappedKey);

struct ParsedSimpleBlob {
    ALG_ID keyAlgorithm = 0;
    const BYTE* wrappedKey = nullptr;
    DWORD wrappedKeyLength = 0;
};

// ERROR_SUCCESS, or why the header is refused.
DWORD parseSimpleBlob(const BYTE* blob, DWORD length, ParsedSimpleBlob& parsed);

} // namespace talvo::csp
