#include "CryptoApi.h"

#include "CryptHandleTable.h"
#include "CspRegistry.h"

using talvo::CryptHandleTable;

namespace {

thread_local DWORD t_lastError = ERROR_SUCCESS;

BOOL fail(DWORD error)
{
    t_lastError = error;
    return FALSE;
}

void providerSetLastError(DWORD error)
{
    t_lastError = error;
}

CryptHandleTable& handles()
{
    return CryptHandleTable::instance();
}

using Kind = CryptHandleTable::Kind;
using Context = CryptHandleTable::Context;
using Object = CryptHandleTable::Object;

// The shape of almost every call: the handle looked up (ERROR_INVALID_HANDLE for one that is
// none of its kind), then its parameters checked (ERROR_INVALID_PARAMETER), then the provider's
// entry point, with the provider's own handles, answers.
template <class Found, class Forward>
BOOL forwardTo(const std::optional<Found>& found, bool valid, Forward forward)
{
    if (!found)
        return fail(ERROR_INVALID_HANDLE);
    if (!valid)
        return fail(ERROR_INVALID_PARAMETER);
    return forward(*found);
}

// The provider's new key or hash, given a handle of the layer's own in the context.
template <class Create> BOOL addObject(Kind kind, HCRYPTPROV context, ULONG_PTR* handle, Create create)
{
    ULONG_PTR inner = 0;
    if (!create(&inner))
        return FALSE;
    *handle = handles().addObject(kind, context, inner);
    return TRUE;
}

// An optional handle passed along (a hash with a key, a wrapping or unwrapping key) must
// belong to the same context; 0 stands for none.
bool innerOf(Kind kind, ULONG_PTR handle, HCRYPTPROV context, ULONG_PTR& inner)
{
    inner = 0;
    if (handle == 0)
        return true;
    const auto found = handles().object(kind, handle);
    if (!found || found->outerContext != context)
        return false;
    inner = found->inner;
    return true;
}

} // namespace

DWORD GetLastError()
{
    return t_lastError;
}

void SetLastError(DWORD error)
{
    t_lastError = error;
}

BOOL CryptAcquireContextA(HCRYPTPROV* phProv, LPCSTR szContainer, LPCSTR szProvider, DWORD dwProvType,
                          DWORD dwFlags)
{
    if (!phProv)
        return fail(ERROR_INVALID_PARAMETER);
    const std::vector<talvo::CspRegistryEntry> entries =
        talvo::findCspRegistryEntries(talvo::cspRegistryDirectories(), szProvider, dwProvType);
    if (entries.empty())
        return fail(szProvider ? NTE_KEYSET_NOT_DEF : NTE_PROV_TYPE_NOT_DEF);
    // The first entry whose module loads serves; one that fails gives way to the next of
    // that name.
    DWORD error = NTE_PROV_TYPE_NO_MATCH;
    const talvo::CspRegistryEntry* entry = nullptr;
    std::shared_ptr<const talvo::CspModule> module;
    for (const talvo::CspRegistryEntry& candidate : entries) {
        if (candidate.type != dwProvType)
            continue;
        module = talvo::CspModule::load(candidate.library, error);
        if (module) {
            entry = &candidate;
            break;
        }
    }
    if (!module)
        return fail(error);

    const VTableProvStruc table{CSP_INTERFACE_VERSION, dwProvType, entry->name.c_str(),
                                &providerSetLastError};
    HCRYPTPROV inner = 0;
    if (!module->acquireContext(&inner, szContainer, dwFlags, &table))
        return FALSE;
    *phProv = handles().addContext({std::move(module), inner});
    return TRUE;
}

BOOL CryptReleaseContext(HCRYPTPROV hProv, DWORD dwFlags)
{
    const auto context = handles().takeContext(hProv);
    if (!context)
        return fail(ERROR_INVALID_HANDLE);
    // The context is released whatever the flags, as on Windows; only the answer differs.
    const BOOL released = context->module->releaseContext(context->inner, 0);
    if (dwFlags != 0)
        return fail(NTE_BAD_FLAGS);
    return released;
}

BOOL CryptGetProvParam(HCRYPTPROV hProv, DWORD dwParam, BYTE* pbData, DWORD* pdwDataLen, DWORD dwFlags)
{
    return forwardTo(handles().context(hProv), pdwDataLen != nullptr, [&](const Context& context) {
        return context.module->getProvParam(context.inner, dwParam, pbData, pdwDataLen, dwFlags);
    });
}

BOOL CryptCreateHash(HCRYPTPROV hProv, ALG_ID Algid, HCRYPTKEY hKey, DWORD dwFlags, HCRYPTHASH* phHash)
{
    return forwardTo(handles().context(hProv), phHash != nullptr, [&](const Context& context) {
        HCRYPTKEY innerKey = 0;
        if (!innerOf(Kind::Key, hKey, hProv, innerKey))
            return fail(ERROR_INVALID_HANDLE);
        return addObject(Kind::Hash, hProv, phHash, [&](HCRYPTHASH* inner) {
            return context.module->createHash(context.inner, Algid, innerKey, dwFlags, inner);
        });
    });
}

BOOL CryptHashData(HCRYPTHASH hHash, const BYTE* pbData, DWORD dwDataLen, DWORD dwFlags)
{
    return forwardTo(handles().object(Kind::Hash, hHash), pbData || dwDataLen == 0, [&](const Object& hash) {
        return hash.context.module->hashData(hash.context.inner, hash.inner, pbData, dwDataLen, dwFlags);
    });
}

BOOL CryptDestroyHash(HCRYPTHASH hHash)
{
    return forwardTo(handles().takeObject(Kind::Hash, hHash), true, [](const Object& hash) {
        return hash.context.module->destroyHash(hash.context.inner, hash.inner);
    });
}

BOOL CryptSetHashParam(HCRYPTHASH hHash, DWORD dwParam, const BYTE* pbData, DWORD dwFlags)
{
    return forwardTo(handles().object(Kind::Hash, hHash), true, [&](const Object& hash) {
        // An older provider module has no such entry point.
        if (!hash.context.module->setHashParam)
            return fail(ERROR_CALL_NOT_IMPLEMENTED);
        return hash.context.module->setHashParam(hash.context.inner, hash.inner, dwParam, pbData, dwFlags);
    });
}

BOOL CryptSignHashA(HCRYPTHASH hHash, DWORD dwKeySpec, LPCSTR szDescription, DWORD dwFlags, BYTE* pbSignature,
                    DWORD* pdwSigLen)
{
    return forwardTo(handles().object(Kind::Hash, hHash), pdwSigLen != nullptr, [&](const Object& hash) {
        return hash.context.module->signHash(hash.context.inner, hash.inner, dwKeySpec, szDescription,
                                             dwFlags, pbSignature, pdwSigLen);
    });
}

BOOL CryptVerifySignatureA(HCRYPTHASH hHash, const BYTE* pbSignature, DWORD dwSigLen, HCRYPTKEY hPubKey,
                           LPCSTR szDescription, DWORD dwFlags)
{
    return forwardTo(handles().object(Kind::Hash, hHash), true, [&](const Object& hash) {
        const auto key = handles().object(Kind::Key, hPubKey);
        const bool sameContext = key && key->outerContext == hash.outerContext;
        return forwardTo(
            sameContext ? key : std::nullopt, pbSignature != nullptr, [&](const Object& publicKey) {
                return hash.context.module->verifySignature(hash.context.inner, hash.inner, pbSignature,
                                                            dwSigLen, publicKey.inner, szDescription,
                                                            dwFlags);
            });
    });
}

BOOL CryptGenKey(HCRYPTPROV hProv, ALG_ID Algid, DWORD dwFlags, HCRYPTKEY* phKey)
{
    return forwardTo(handles().context(hProv), phKey != nullptr, [&](const Context& context) {
        return addObject(Kind::Key, hProv, phKey, [&](HCRYPTKEY* inner) {
            return context.module->genKey(context.inner, Algid, dwFlags, inner);
        });
    });
}

BOOL CryptGetUserKey(HCRYPTPROV hProv, DWORD dwKeySpec, HCRYPTKEY* phUserKey)
{
    return forwardTo(handles().context(hProv), phUserKey != nullptr, [&](const Context& context) {
        return addObject(Kind::Key, hProv, phUserKey, [&](HCRYPTKEY* inner) {
            return context.module->getUserKey(context.inner, dwKeySpec, inner);
        });
    });
}

BOOL CryptExportKey(HCRYPTKEY hKey, HCRYPTKEY hExpKey, DWORD dwBlobType, DWORD dwFlags, BYTE* pbData,
                    DWORD* pdwDataLen)
{
    return forwardTo(handles().object(Kind::Key, hKey), pdwDataLen != nullptr, [&](const Object& key) {
        HCRYPTKEY innerExpKey = 0;
        if (!innerOf(Kind::Key, hExpKey, key.outerContext, innerExpKey))
            return fail(ERROR_INVALID_HANDLE);
        return key.context.module->exportKey(key.context.inner, key.inner, innerExpKey, dwBlobType, dwFlags,
                                             pbData, pdwDataLen);
    });
}

BOOL CryptImportKey(HCRYPTPROV hProv, const BYTE* pbData, DWORD dwDataLen, HCRYPTKEY hPubKey, DWORD dwFlags,
                    HCRYPTKEY* phKey)
{
    const bool valid = phKey && (pbData || dwDataLen == 0);
    return forwardTo(handles().context(hProv), valid, [&](const Context& context) {
        HCRYPTKEY innerPubKey = 0;
        if (!innerOf(Kind::Key, hPubKey, hProv, innerPubKey))
            return fail(ERROR_INVALID_HANDLE);
        return addObject(Kind::Key, hProv, phKey, [&](HCRYPTKEY* inner) {
            return context.module->importKey(context.inner, pbData, dwDataLen, innerPubKey, dwFlags, inner);
        });
    });
}

BOOL CryptDestroyKey(HCRYPTKEY hKey)
{
    return forwardTo(handles().takeObject(Kind::Key, hKey), true, [](const Object& key) {
        return key.context.module->destroyKey(key.context.inner, key.inner);
    });
}

// A hash passed along is checked before the data.
BOOL CryptEncrypt(HCRYPTKEY hKey, HCRYPTHASH hHash, BOOL Final, DWORD dwFlags, BYTE* pbData,
                  DWORD* pdwDataLen, DWORD dwBufLen)
{
    return forwardTo(handles().object(Kind::Key, hKey), true, [&](const Object& key) {
        HCRYPTHASH innerHash = 0;
        if (!innerOf(Kind::Hash, hHash, key.outerContext, innerHash))
            return fail(ERROR_INVALID_HANDLE);
        if (!pdwDataLen)
            return fail(ERROR_INVALID_PARAMETER);
        return key.context.module->encrypt(key.context.inner, key.inner, innerHash, Final, dwFlags, pbData,
                                           pdwDataLen, dwBufLen);
    });
}

BOOL CryptDecrypt(HCRYPTKEY hKey, HCRYPTHASH hHash, BOOL Final, DWORD dwFlags, BYTE* pbData,
                  DWORD* pdwDataLen)
{
    return forwardTo(handles().object(Kind::Key, hKey), true, [&](const Object& key) {
        HCRYPTHASH innerHash = 0;
        if (!innerOf(Kind::Hash, hHash, key.outerContext, innerHash))
            return fail(ERROR_INVALID_HANDLE);
        if (!pdwDataLen || (!pbData && *pdwDataLen != 0))
            return fail(ERROR_INVALID_PARAMETER);
        return key.context.module->decrypt(key.context.inner, key.inner, innerHash, Final, dwFlags, pbData,
                                           pdwDataLen);
    });
}
