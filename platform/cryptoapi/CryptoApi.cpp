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

std::optional<CryptHandleTable::Object> key(HCRYPTKEY handle)
{
    return handles().object(CryptHandleTable::Kind::Key, handle);
}

std::optional<CryptHandleTable::Object> hash(HCRYPTHASH handle)
{
    return handles().object(CryptHandleTable::Kind::Hash, handle);
}

// An optional handle passed along (a hash with a key, a wrapping or unwrapping key) must
// belong to the same context; 0 stands for none.
bool innerOf(CryptHandleTable::Kind kind, ULONG_PTR handle, HCRYPTPROV context, ULONG_PTR& inner)
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
    const auto context = handles().context(hProv);
    if (!context)
        return fail(ERROR_INVALID_HANDLE);
    if (!pdwDataLen)
        return fail(ERROR_INVALID_PARAMETER);
    return context->module->getProvParam(context->inner, dwParam, pbData, pdwDataLen, dwFlags);
}

BOOL CryptCreateHash(HCRYPTPROV hProv, ALG_ID Algid, HCRYPTKEY hKey, DWORD dwFlags, HCRYPTHASH* phHash)
{
    const auto context = handles().context(hProv);
    if (!context)
        return fail(ERROR_INVALID_HANDLE);
    if (!phHash)
        return fail(ERROR_INVALID_PARAMETER);
    HCRYPTKEY innerKey = 0;
    if (!innerOf(CryptHandleTable::Kind::Key, hKey, hProv, innerKey))
        return fail(ERROR_INVALID_HANDLE);
    HCRYPTHASH inner = 0;
    if (!context->module->createHash(context->inner, Algid, innerKey, dwFlags, &inner))
        return FALSE;
    *phHash = handles().addObject(CryptHandleTable::Kind::Hash, hProv, inner);
    return TRUE;
}

BOOL CryptHashData(HCRYPTHASH hHash, const BYTE* pbData, DWORD dwDataLen, DWORD dwFlags)
{
    const auto found = hash(hHash);
    if (!found)
        return fail(ERROR_INVALID_HANDLE);
    if (!pbData && dwDataLen != 0)
        return fail(ERROR_INVALID_PARAMETER);
    return found->context.module->hashData(found->context.inner, found->inner, pbData, dwDataLen, dwFlags);
}

BOOL CryptDestroyHash(HCRYPTHASH hHash)
{
    const auto found = handles().takeObject(CryptHandleTable::Kind::Hash, hHash);
    if (!found)
        return fail(ERROR_INVALID_HANDLE);
    return found->context.module->destroyHash(found->context.inner, found->inner);
}

BOOL CryptSetHashParam(HCRYPTHASH hHash, DWORD dwParam, const BYTE* pbData, DWORD dwFlags)
{
    const auto found = hash(hHash);
    if (!found)
        return fail(ERROR_INVALID_HANDLE);
    if (!found->context.module->setHashParam)
        return fail(ERROR_CALL_NOT_IMPLEMENTED);
    return found->context.module->setHashParam(found->context.inner, found->inner, dwParam, pbData, dwFlags);
}

BOOL CryptSignHashA(HCRYPTHASH hHash, DWORD dwKeySpec, LPCSTR szDescription, DWORD dwFlags, BYTE* pbSignature,
                    DWORD* pdwSigLen)
{
    const auto found = hash(hHash);
    if (!found)
        return fail(ERROR_INVALID_HANDLE);
    if (!pdwSigLen)
        return fail(ERROR_INVALID_PARAMETER);
    return found->context.module->signHash(found->context.inner, found->inner, dwKeySpec, szDescription,
                                           dwFlags, pbSignature, pdwSigLen);
}

BOOL CryptVerifySignatureA(HCRYPTHASH hHash, const BYTE* pbSignature, DWORD dwSigLen, HCRYPTKEY hPubKey,
                           LPCSTR szDescription, DWORD dwFlags)
{
    const auto foundHash = hash(hHash);
    if (!foundHash)
        return fail(ERROR_INVALID_HANDLE);
    const auto foundKey = key(hPubKey);
    if (!foundKey || foundKey->outerContext != foundHash->outerContext)
        return fail(ERROR_INVALID_HANDLE);
    if (!pbSignature)
        return fail(ERROR_INVALID_PARAMETER);
    return foundHash->context.module->verifySignature(foundHash->context.inner, foundHash->inner, pbSignature,
                                                      dwSigLen, foundKey->inner, szDescription, dwFlags);
}

BOOL CryptGenKey(HCRYPTPROV hProv, ALG_ID Algid, DWORD dwFlags, HCRYPTKEY* phKey)
{
    const auto context = handles().context(hProv);
    if (!context)
        return fail(ERROR_INVALID_HANDLE);
    if (!phKey)
        return fail(ERROR_INVALID_PARAMETER);
    HCRYPTKEY inner = 0;
    if (!context->module->genKey(context->inner, Algid, dwFlags, &inner))
        return FALSE;
    *phKey = handles().addObject(CryptHandleTable::Kind::Key, hProv, inner);
    return TRUE;
}

BOOL CryptGetUserKey(HCRYPTPROV hProv, DWORD dwKeySpec, HCRYPTKEY* phUserKey)
{
    const auto context = handles().context(hProv);
    if (!context)
        return fail(ERROR_INVALID_HANDLE);
    if (!phUserKey)
        return fail(ERROR_INVALID_PARAMETER);
    HCRYPTKEY inner = 0;
    if (!context->module->getUserKey(context->inner, dwKeySpec, &inner))
        return FALSE;
    *phUserKey = handles().addObject(CryptHandleTable::Kind::Key, hProv, inner);
    return TRUE;
}

BOOL CryptExportKey(HCRYPTKEY hKey, HCRYPTKEY hExpKey, DWORD dwBlobType, DWORD dwFlags, BYTE* pbData,
                    DWORD* pdwDataLen)
{
    const auto found = key(hKey);
    if (!found)
        return fail(ERROR_INVALID_HANDLE);
    if (!pdwDataLen)
        return fail(ERROR_INVALID_PARAMETER);
    HCRYPTKEY innerExpKey = 0;
    if (!innerOf(CryptHandleTable::Kind::Key, hExpKey, found->outerContext, innerExpKey))
        return fail(ERROR_INVALID_HANDLE);
    return found->context.module->exportKey(found->context.inner, found->inner, innerExpKey, dwBlobType,
                                            dwFlags, pbData, pdwDataLen);
}

BOOL CryptImportKey(HCRYPTPROV hProv, const BYTE* pbData, DWORD dwDataLen, HCRYPTKEY hPubKey, DWORD dwFlags,
                    HCRYPTKEY* phKey)
{
    const auto context = handles().context(hProv);
    if (!context)
        return fail(ERROR_INVALID_HANDLE);
    if (!phKey || (!pbData && dwDataLen != 0))
        return fail(ERROR_INVALID_PARAMETER);
    HCRYPTKEY innerPubKey = 0;
    if (!innerOf(CryptHandleTable::Kind::Key, hPubKey, hProv, innerPubKey))
        return fail(ERROR_INVALID_HANDLE);
    HCRYPTKEY inner = 0;
    if (!context->module->importKey(context->inner, pbData, dwDataLen, innerPubKey, dwFlags, &inner))
        return FALSE;
    *phKey = handles().addObject(CryptHandleTable::Kind::Key, hProv, inner);
    return TRUE;
}

BOOL CryptDestroyKey(HCRYPTKEY hKey)
{
    const auto found = handles().takeObject(CryptHandleTable::Kind::Key, hKey);
    if (!found)
        return fail(ERROR_INVALID_HANDLE);
    return found->context.module->destroyKey(found->context.inner, found->inner);
}

BOOL CryptEncrypt(HCRYPTKEY hKey, HCRYPTHASH hHash, BOOL Final, DWORD dwFlags, BYTE* pbData,
                  DWORD* pdwDataLen, DWORD dwBufLen)
{
    const auto found = key(hKey);
    if (!found)
        return fail(ERROR_INVALID_HANDLE);
    HCRYPTHASH innerHash = 0;
    if (!innerOf(CryptHandleTable::Kind::Hash, hHash, found->outerContext, innerHash))
        return fail(ERROR_INVALID_HANDLE);
    if (!pdwDataLen)
        return fail(ERROR_INVALID_PARAMETER);
    return found->context.module->encrypt(found->context.inner, found->inner, innerHash, Final, dwFlags,
                                          pbData, pdwDataLen, dwBufLen);
}

BOOL CryptDecrypt(HCRYPTKEY hKey, HCRYPTHASH hHash, BOOL Final, DWORD dwFlags, BYTE* pbData,
                  DWORD* pdwDataLen)
{
    const auto found = key(hKey);
    if (!found)
        return fail(ERROR_INVALID_HANDLE);
    HCRYPTHASH innerHash = 0;
    if (!innerOf(CryptHandleTable::Kind::Hash, hHash, found->outerContext, innerHash))
        return fail(ERROR_INVALID_HANDLE);
    if (!pdwDataLen || (!pbData && *pdwDataLen != 0))
        return fail(ERROR_INVALID_PARAMETER);
    return found->context.module->decrypt(found->context.inner, found->inner, innerHash, Final, dwFlags,
                                          pbData, pdwDataLen);
}
