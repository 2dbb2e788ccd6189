#include "SimpleBlob.h"

namespace talvo::csp {

namespace {

void appendLittleEndian(ByteVector& out, DWORD value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<BYTE>(value >> shift));
}

DWORD readLittleEndian(const BYTE* bytes)
{
    return static_cast<DWORD>(bytes[0]) | static_cast<DWORD>(bytes[1]) << 8 |
           static_cast<DWORD>(bytes[2]) << 16 | static_cast<DWORD>(bytes[3]) << 24;
}

} // namespace

ByteVector simpleBlob(ALG_ID keyAlgorithm, const ByteVector& wrappedKey)
{
    ByteVector blob{static_cast<BYTE>(SIMPLEBLOB), static_cast<BYTE>(CUR_BLOB_VERSION), 0, 0};
    appendLittleEndian(blob, keyAlgorithm);
    appendLittleEndian(blob, CALG_RSA_KEYX);
    blob.insert(blob.end(), wrappedKey.begin(), wrappedKey.end());
    return blob;
}

DWORD parseSimpleBlob(const BYTE* blob, DWORD length, ParsedSimpleBlob& parsed)
{
    if (!blob || length < kSimpleBlobHeaderSize)
        return NTE_BAD_DATA;
    if (blob[0] != SIMPLEBLOB)
        return NTE_BAD_TYPE;
    if (blob[1] != CUR_BLOB_VERSION)
        return NTE_BAD_VER;
    if (blob[2] != 0 || blob[3] != 0)
        return NTE_BAD_DATA;
    if (readLittleEndian(blob + 8) != CALG_RSA_KEYX)
        return NTE_BAD_ALGID;
    parsed.keyAlgorithm = readLittleEndian(blob + 4);
    parsed.wrappedKey = blob + kSimpleBlobHeaderSize;
    parsed.wrappedKeyLength = length - kSimpleBlobHeaderSize;
    return ERROR_SUCCESS;
}

} // namespace talvo::csp
