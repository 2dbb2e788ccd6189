// The entry points of the software provider "MERO Cryptographic Service Provider v1.0.0",
// whose formats follow the Microsoft RSA Full providers byte for byte.

#include "MeroCspExports.h"

#include "OsslLibrary.h"
#include "ProviderState.h"
#include "PublicKeyBlob.h"
#include "SimpleBlob.h"

#include "simulator/common/SimDirectory.h"

#include <openssl/err.h>
#include <openssl/rand.h>

#include <cstring>
#include <mutex>
#include <string_view>

using namespace talvo::csp;

namespace {

constexpr std::string_view kProviderName = "MERO Cryptographic Service Provider v1.0.0";
// The enumeration flags that CryptGetProvParam accepts for any parameter.
constexpr DWORD kProvParamFlags = CRYPT_FIRST | CRYPT_NEXT | 4u;

ProviderState& state()
{
    return ProviderState::instance();
}

// OpenSSL's reasons are not passed on: dropping them keeps the caller's thread's error queue
// from filling up with entries it never reads.
BOOL fail(DWORD error)
{
    ERR_clear_error();
    return state().fail(error);
}

// The length of a variable-length result alone: a null buffer asks for it, a short one is
// refused with it.
BOOL giveLength(DWORD length, const BYTE* out, DWORD* outLength)
{
    *outLength = length;
    return out ? fail(ERROR_MORE_DATA) : TRUE;
}

BOOL giveBytes(const BYTE* bytes, DWORD length, BYTE* out, DWORD* outLength)
{
    if (!out || *outLength < length)
        return giveLength(length, out, outLength);
    std::memcpy(out, bytes, length);
    *outLength = length;
    return TRUE;
}

BOOL giveText(std::string_view text, BYTE* out, DWORD* outLength)
{
    std::string terminated(text);
    terminated.push_back('\0');
    return giveBytes(reinterpret_cast<const BYTE*>(terminated.data()), static_cast<DWORD>(terminated.size()),
                     out, outLength);
}

// The container pair a key handle names, or null.
talvo::sim::ContainerKey* pairOf(ProviderContext& context, KeyObject* key)
{
    const UserKey* user = key ? std::get_if<UserKey>(key) : nullptr;
    return user ? context.userKey(user->keySpec) : nullptr;
}

// Runs an entry point's work under the provider's lock on the context the handle names.
template <class Work> BOOL withContext(HCRYPTPROV hProv, Work&& work)
{
    const std::lock_guard lock(state().mutex());
    ProviderContext* context = state().find(hProv);
    if (!context)
        return fail(NTE_BAD_UID);
    return work(*context);
}

} // namespace

BOOL CPAcquireContext(HCRYPTPROV* phProv, LPCSTR szContainer, DWORD dwFlags, const VTableProvStruc* pVTable)
{
    if (pVTable && pVTable->FuncSetLastError)
        state().setErrorSink(pVTable->FuncSetLastError);
    const std::lock_guard lock(state().mutex());
    if (!phProv)
        return fail(ERROR_INVALID_PARAMETER);
    if (dwFlags != 0)
        return fail(NTE_BAD_FLAGS);
    if (pVTable && pVTable->dwProvType != PROV_RSA_FULL)
        return fail(NTE_PROV_TYPE_NO_MATCH);
    std::unique_ptr<talvo::sim::KeyContainer> container = talvo::sim::openKeyContainer(
        talvo::sim::stateDirectory(), OsslLibrary::instance().context(), nullptr);
    if (!container || (szContainer && *szContainer && container->name() != szContainer))
        return fail(NTE_BAD_KEYSET);
    if (!OsslLibrary::instance().isReady())
        return fail(NTE_FAIL);
    *phProv = state().add(std::make_unique<ProviderContext>(std::move(container)));
    return TRUE;
}

BOOL CPReleaseContext(HCRYPTPROV hProv, DWORD dwFlags)
{
    const std::lock_guard lock(state().mutex());
    if (!state().remove(hProv))
        return fail(NTE_BAD_UID);
    return dwFlags == 0 ? TRUE : fail(NTE_BAD_FLAGS);
}

BOOL CPGetProvParam(HCRYPTPROV hProv, DWORD dwParam, BYTE* pbData, DWORD* pdwDataLen, DWORD dwFlags)
{
    return withContext(hProv, [&](ProviderContext& context) -> BOOL {
        if (!pdwDataLen)
            return fail(ERROR_INVALID_PARAMETER);
        if ((dwFlags & ~kProvParamFlags) != 0)
            return fail(NTE_BAD_FLAGS);
        switch (dwParam) {
        case PP_CONTAINER:
            return giveText(context.containerName(), pbData, pdwDataLen);
        case PP_NAME:
            return giveText(kProviderName, pbData, pdwDataLen);
        case PP_PROVTYPE: {
            const BYTE type[4] = {static_cast<BYTE>(PROV_RSA_FULL), 0, 0, 0};
            return giveBytes(type, sizeof type, pbData, pdwDataLen);
        }
        default:
            return fail(NTE_BAD_TYPE);
        }
    });
}

BOOL CPCreateHash(HCRYPTPROV hProv, ALG_ID Algid, HCRYPTKEY hKey, DWORD dwFlags, HCRYPTHASH* phHash)
{
    return withContext(hProv, [&](ProviderContext& context) -> BOOL {
        if (Algid != CALG_MD5 && Algid != CALG_SHA_256)
            return fail(NTE_BAD_ALGID);
        if (hKey != 0)
            return fail(NTE_BAD_KEY);
        if (dwFlags != 0)
            return fail(NTE_BAD_FLAGS);
        std::unique_ptr<ProviderHash> hash = ProviderHash::create(Algid);
        if (!hash)
            return fail(NTE_FAIL);
        *phHash = context.addHash(std::move(hash));
        return TRUE;
    });
}

BOOL CPHashData(HCRYPTPROV hProv, HCRYPTHASH hHash, const BYTE* pbData, DWORD dwDataLen, DWORD dwFlags)
{
    return withContext(hProv, [&](ProviderContext& context) -> BOOL {
        ProviderHash* hash = context.hash(hHash);
        if (!hash)
            return fail(NTE_BAD_HASH);
        if (dwFlags != 0)
            return fail(NTE_BAD_FLAGS);
        if (hash->isFinished())
            return fail(NTE_BAD_HASH_STATE);
        return hash->update(pbData, dwDataLen) ? TRUE : fail(NTE_FAIL);
    });
}

// HP_HASHVAL alone: a digest computed elsewhere becomes the hash's value, to be signed.
BOOL CPSetHashParam(HCRYPTPROV hProv, HCRYPTHASH hHash, DWORD dwParam, const BYTE* pbData, DWORD dwFlags)
{
    return withContext(hProv, [&](ProviderContext& context) -> BOOL {
        ProviderHash* hash = context.hash(hHash);
        if (!hash)
            return fail(NTE_BAD_HASH);
        if (dwFlags != 0)
            return fail(NTE_BAD_FLAGS);
        if (dwParam != HP_HASHVAL)
            return fail(NTE_BAD_TYPE);
        if (!pbData)
            return fail(ERROR_INVALID_PARAMETER);
        if (hash->isFinished())
            return fail(NTE_BAD_HASH_STATE);
        // The value is as long as the hash's digest: the provider reads no more.
        return hash->setValue(pbData, hash->size()) ? TRUE : fail(NTE_FAIL);
    });
}

// The description is not bound into the signature, so a verifier passing none accepts it.
BOOL CPSignHash(HCRYPTPROV hProv, HCRYPTHASH hHash, DWORD dwKeySpec, LPCSTR /*szDescription*/, DWORD dwFlags,
                BYTE* pbSignature, DWORD* pdwSigLen)
{
    return withContext(hProv, [&](ProviderContext& context) -> BOOL {
        ProviderHash* hash = context.hash(hHash);
        if (!hash)
            return fail(NTE_BAD_HASH);
        if (!pdwSigLen)
            return fail(ERROR_INVALID_PARAMETER);
        if (dwFlags != 0)
            return fail(NTE_BAD_FLAGS);
        if (dwKeySpec != AT_SIGNATURE && dwKeySpec != AT_KEYEXCHANGE)
            return fail(NTE_BAD_ALGID);
        talvo::sim::ContainerKey* key = context.userKey(dwKeySpec);
        if (!key)
            return fail(NTE_NO_KEY);
        const DWORD length = modulusBytes(key->publicKey());
        if (!pbSignature || *pdwSigLen < length)
            return giveLength(length, pbSignature, pdwSigLen);
        const std::vector<BYTE>* digest = hash->value();
        const std::optional<ByteVector> signature =
            digest ? signDigestReversed(*key, hash->algorithm(), *digest) : std::nullopt;
        if (!signature || signature->size() != length)
            return fail(NTE_FAIL);
        return giveBytes(signature->data(), length, pbSignature, pdwSigLen);
    });
}

BOOL CPVerifySignature(HCRYPTPROV hProv, HCRYPTHASH hHash, const BYTE* pbSignature, DWORD dwSigLen,
                       HCRYPTKEY hPubKey, LPCSTR /*szDescription*/, DWORD dwFlags)
{
    return withContext(hProv, [&](ProviderContext& context) -> BOOL {
        ProviderHash* hash = context.hash(hHash);
        if (!hash)
            return fail(NTE_BAD_HASH);
        KeyObject* keyObject = context.key(hPubKey);
        talvo::sim::ContainerKey* key = pairOf(context, keyObject);
        if (!key)
            return fail(keyObject ? NTE_BAD_KEY : NTE_BAD_UID);
        if (dwFlags != 0)
            return fail(NTE_BAD_FLAGS);
        if (!pbSignature)
            return fail(ERROR_INVALID_PARAMETER);
        const std::vector<BYTE>* digest = hash->value();
        if (!digest)
            return fail(NTE_FAIL);
        return verifyDigestReversed(key->publicKey(), hash->algorithm(), *digest, pbSignature, dwSigLen)
                   ? TRUE
                   : fail(NTE_BAD_SIGNATURE);
    });
}

BOOL CPDestroyHash(HCRYPTPROV hProv, HCRYPTHASH hHash)
{
    return withContext(hProv, [&](ProviderContext& context) -> BOOL {
        return context.removeHash(hHash) ? TRUE : fail(NTE_BAD_HASH);
    });
}

BOOL CPGenKey(HCRYPTPROV hProv, ALG_ID Algid, DWORD dwFlags, HCRYPTKEY* phKey)
{
    return withContext(hProv, [&](ProviderContext& context) -> BOOL {
        if (Algid != CALG_DES)
            return fail(NTE_BAD_ALGID);
        // The upper half names the key length in bits; DES has only its own.
        const DWORD lengthBits = dwFlags >> 16;
        if ((dwFlags & 0xFFFFu & ~CRYPT_EXPORTABLE) != 0 ||
            (lengthBits != 0 && lengthBits != 56 && lengthBits != 64))
            return fail(NTE_BAD_FLAGS);
        DesSessionKey::Bytes bytes{};
        if (RAND_bytes_ex(OsslLibrary::instance().context(), bytes.data(), bytes.size(), 0) != 1)
            return fail(NTE_FAIL);
        *phKey =
            context.addKey(KeyObject(std::in_place_type<DesSessionKey>, DesSessionKey::withOddParity(bytes),
                                     (dwFlags & CRYPT_EXPORTABLE) != 0));
        return TRUE;
    });
}

BOOL CPGetUserKey(HCRYPTPROV hProv, DWORD dwKeySpec, HCRYPTKEY* phUserKey)
{
    return withContext(hProv, [&](ProviderContext& context) -> BOOL {
        if (dwKeySpec != AT_SIGNATURE && dwKeySpec != AT_KEYEXCHANGE)
            return fail(NTE_BAD_KEY);
        if (!context.userKey(dwKeySpec))
            return fail(NTE_NO_KEY);
        *phUserKey = context.addKey(UserKey{dwKeySpec});
        return TRUE;
    });
}

BOOL CPExportKey(HCRYPTPROV hProv, HCRYPTKEY hKey, HCRYPTKEY hPubKey, DWORD dwBlobType, DWORD dwFlags,
                 BYTE* pbData, DWORD* pdwDataLen)
{
    return withContext(hProv, [&](ProviderContext& context) -> BOOL {
        KeyObject* keyObject = context.key(hKey);
        if (!keyObject)
            return fail(NTE_BAD_KEY);
        if (!pdwDataLen)
            return fail(ERROR_INVALID_PARAMETER);
        if (dwBlobType == PUBLICKEYBLOB) {
            if (dwFlags != 0)
                return fail(NTE_BAD_FLAGS);
            if (hPubKey != 0)
                return fail(NTE_BAD_PUBLIC_KEY);
            const UserKey* user = std::get_if<UserKey>(keyObject);
            talvo::sim::ContainerKey* pair = pairOf(context, keyObject);
            if (!user || !pair)
                return fail(NTE_BAD_KEY);
            const std::optional<ByteVector> blob = publicKeyBlob(
                pair->publicKey(), user->keySpec == AT_SIGNATURE ? CALG_RSA_SIGN : CALG_RSA_KEYX);
            if (!blob)
                return fail(NTE_FAIL);
            return giveBytes(blob->data(), static_cast<DWORD>(blob->size()), pbData, pdwDataLen);
        }
        if (dwBlobType != SIMPLEBLOB)
            return fail(NTE_BAD_TYPE);
        if (dwFlags != 0)
            return fail(NTE_BAD_FLAGS);
        const DesSessionKey* sessionKey = std::get_if<DesSessionKey>(keyObject);
        if (!sessionKey)
            return fail(NTE_BAD_KEY);
        if (!sessionKey->isExportable())
            return fail(NTE_BAD_KEY_STATE);
        talvo::sim::ContainerKey* wrapping = pairOf(context, context.key(hPubKey));
        if (!wrapping)
            return fail(NTE_BAD_PUBLIC_KEY);
        const DWORD length = kSimpleBlobHeaderSize + modulusBytes(wrapping->publicKey());
        if (!pbData || *pdwDataLen < length)
            return giveLength(length, pbData, pdwDataLen);
        const std::optional<ByteVector> wrapped =
            encryptReversed(wrapping->publicKey(), sessionKey->bytes().data(),
                            static_cast<DWORD>(sessionKey->bytes().size()));
        if (!wrapped)
            return fail(NTE_FAIL);
        const ByteVector blob = simpleBlob(CALG_DES, *wrapped);
        return giveBytes(blob.data(), static_cast<DWORD>(blob.size()), pbData, pdwDataLen);
    });
}

// Without an unwrapping key the container's key-exchange pair unwraps the blob.
BOOL CPImportKey(HCRYPTPROV hProv, const BYTE* pbData, DWORD dwDataLen, HCRYPTKEY hPubKey, DWORD dwFlags,
                 HCRYPTKEY* phKey)
{
    return withContext(hProv, [&](ProviderContext& context) -> BOOL {
        if ((dwFlags & ~CRYPT_EXPORTABLE) != 0)
            return fail(NTE_BAD_FLAGS);
        ParsedSimpleBlob blob;
        if (const DWORD error = parseSimpleBlob(pbData, dwDataLen, blob); error != ERROR_SUCCESS)
            return fail(error);
        if (blob.keyAlgorithm != CALG_DES)
            return fail(NTE_BAD_ALGID);
        talvo::sim::ContainerKey* unwrapping =
            hPubKey == 0 ? context.userKey(AT_KEYEXCHANGE) : pairOf(context, context.key(hPubKey));
        if (!unwrapping)
            return fail(hPubKey == 0 ? NTE_NO_KEY : NTE_BAD_KEY);
        const std::optional<ByteVector> key =
            decryptReversed(*unwrapping, blob.wrappedKey, blob.wrappedKeyLength);
        if (!key || key->size() != sizeof(DesSessionKey::Bytes))
            return fail(NTE_BAD_DATA);
        DesSessionKey::Bytes bytes{};
        std::memcpy(bytes.data(), key->data(), bytes.size());
        *phKey = context.addKey(
            KeyObject(std::in_place_type<DesSessionKey>, bytes, (dwFlags & CRYPT_EXPORTABLE) != 0));
        return TRUE;
    });
}

BOOL CPEncrypt(HCRYPTPROV hProv, HCRYPTKEY hKey, HCRYPTHASH hHash, BOOL fFinal, DWORD dwFlags, BYTE* pbData,
               DWORD* pdwDataLen, DWORD dwBufLen)
{
    return withContext(hProv, [&](ProviderContext& context) -> BOOL {
        KeyObject* keyObject = context.key(hKey);
        if (!keyObject)
            return fail(NTE_BAD_KEY);
        DesSessionKey* sessionKey = std::get_if<DesSessionKey>(keyObject);
        if (!sessionKey)
            return fail(NTE_BAD_ALGID);
        if (!pdwDataLen)
            return fail(ERROR_INVALID_PARAMETER);
        if (dwFlags != 0)
            return fail(NTE_BAD_FLAGS);
        ProviderHash* hash = hHash != 0 ? context.hash(hHash) : nullptr;
        if (hHash != 0 && (!hash || hash->isFinished()))
            return fail(hash ? NTE_BAD_HASH_STATE : NTE_BAD_HASH);
        // The hash takes the plaintext, but only once the encryption has gone through.
        const ByteVector plaintext = hash && pbData ? ByteVector(pbData, pbData + *pdwDataLen) : ByteVector();
        if (const DWORD error = sessionKey->encrypt(fFinal != FALSE, pbData, pdwDataLen, dwBufLen);
            error != 0)
            return fail(error);
        if (hash && pbData && !hash->update(plaintext.data(), static_cast<DWORD>(plaintext.size())))
            return fail(NTE_FAIL);
        return TRUE;
    });
}

BOOL CPDecrypt(HCRYPTPROV hProv, HCRYPTKEY hKey, HCRYPTHASH hHash, BOOL fFinal, DWORD dwFlags, BYTE* pbData,
               DWORD* pdwDataLen)
{
    return withContext(hProv, [&](ProviderContext& context) -> BOOL {
        KeyObject* keyObject = context.key(hKey);
        if (!keyObject)
            return fail(NTE_BAD_KEY);
        DesSessionKey* sessionKey = std::get_if<DesSessionKey>(keyObject);
        if (!sessionKey)
            return fail(NTE_BAD_ALGID);
        if (!pdwDataLen || (!pbData && *pdwDataLen != 0))
            return fail(ERROR_INVALID_PARAMETER);
        if (dwFlags != 0)
            return fail(NTE_BAD_FLAGS);
        ProviderHash* hash = hHash != 0 ? context.hash(hHash) : nullptr;
        if (hHash != 0 && (!hash || hash->isFinished()))
            return fail(hash ? NTE_BAD_HASH_STATE : NTE_BAD_HASH);
        if (const DWORD error = sessionKey->decrypt(fFinal != FALSE, pbData, pdwDataLen); error != 0)
            return fail(error);
        if (hash && !hash->update(pbData, *pdwDataLen))
            return fail(NTE_FAIL);
        return TRUE;
    });
}

BOOL CPDestroyKey(HCRYPTPROV hProv, HCRYPTKEY hKey)
{
    return withContext(hProv, [&](ProviderContext& context) -> BOOL {
        return context.removeKey(hKey) ? TRUE : fail(NTE_BAD_KEY);
    });
}
