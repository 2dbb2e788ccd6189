#include "PublicKeyBlob.h"

#include <openssl/bn.h>
#include <openssl/core_names.h>

#include <memory>

namespace talvo::csp {

namespace {

struct BignumDeleter {
    void operator()(BIGNUM* number) const { BN_free(number); }
};
using Bignum = std::unique_ptr<BIGNUM, BignumDeleter>;

void appendLittleEndian(ByteVector& out, DWORD value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<BYTE>((value >> shift) & 0xFF));
}

Bignum parameter(EVP_PKEY* key, const char* name)
{
    BIGNUM* number = nullptr;
    return Bignum(EVP_PKEY_get_bn_param(key, name, &number) == 1 ? number : nullptr);
}

} // namespace

std::optional<ByteVector> publicKeyBlob(EVP_PKEY* key, ALG_ID keyAlgorithm)
{
    const DWORD modulusLength = modulusBytes(key);
    const Bignum modulus = key ? parameter(key, OSSL_PKEY_PARAM_RSA_N) : nullptr;
    const Bignum exponent = key ? parameter(key, OSSL_PKEY_PARAM_RSA_E) : nullptr;
    if (!modulus || !exponent || modulusLength == 0 || BN_num_bytes(exponent.get()) > 4)
        return std::nullopt;
    ByteVector blob = {PUBLICKEYBLOB, CUR_BLOB_VERSION, 0, 0};
    appendLittleEndian(blob, keyAlgorithm);
    appendLittleEndian(blob, 0x31415352u); // "RSA1"
    appendLittleEndian(blob, modulusLength * 8);
    appendLittleEndian(blob, static_cast<DWORD>(BN_get_word(exponent.get())));
    ByteVector modulusBytesLe(modulusLength);
    if (BN_bn2lebinpad(modulus.get(), modulusBytesLe.data(), static_cast<int>(modulusLength)) < 0)
        return std::nullopt;
    blob.insert(blob.end(), modulusBytesLe.begin(), modulusBytesLe.end());
    return blob;
}

} // namespace talvo::csp
