// A provider as older ones are: it hashes with MD5 alone, or (TALVO_OFFERS_SHA256) it knows
// SHA-256 but lets no digest be set from outside, having no CPSetHashParam. Everything past
// the hash is refused: a signature must never be reached.

#include "platform/cryptoapi/CspProviderInterface.h"

#define OLDER_CSP_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

PFN_SET_LAST_ERROR g_setLastError = nullptr;

BOOL refuse()
{
    if (g_setLastError)
        g_setLastError(0x80090020u); // NTE_FAIL
    return FALSE;
}

} // namespace

OLDER_CSP_EXPORT BOOL CPAcquireContext(HCRYPTPROV* phProv, LPCSTR, DWORD, const VTableProvStruc* pVTable)
{
    g_setLastError = pVTable ? pVTable->FuncSetLastError : nullptr;
    *phProv = 1;
    return TRUE;
}

OLDER_CSP_EXPORT BOOL CPReleaseContext(HCRYPTPROV, DWORD)
{
    return TRUE;
}

OLDER_CSP_EXPORT BOOL CPCreateHash(HCRYPTPROV, ALG_ID Algid, HCRYPTKEY, DWORD, HCRYPTHASH* phHash)
{
#ifdef TALVO_OFFERS_SHA256
    const bool known = Algid == 0x8003u || Algid == 0x800cu;
#else
    const bool known = Algid == 0x8003u;
#endif
    if (!known) {
        if (g_setLastError)
            g_setLastError(0x80090008u); // NTE_BAD_ALGID
        return FALSE;
    }
    *phHash = 1;
    return TRUE;
}

OLDER_CSP_EXPORT BOOL CPDestroyHash(HCRYPTPROV, HCRYPTHASH)
{
    return TRUE;
}

// Every other entry point is there, for the loader, and refuses.
#define OLDER_CSP_REFUSES(name, ...)                                                                         \
    OLDER_CSP_EXPORT BOOL name(__VA_ARGS__)                                                                  \
    {                                                                                                        \
        return refuse();                                                                                     \
    }
OLDER_CSP_REFUSES(CPGetProvParam, HCRYPTPROV, DWORD, BYTE*, DWORD*, DWORD)
OLDER_CSP_REFUSES(CPHashData, HCRYPTPROV, HCRYPTHASH, const BYTE*, DWORD, DWORD)
OLDER_CSP_REFUSES(CPSignHash, HCRYPTPROV, HCRYPTHASH, DWORD, LPCSTR, DWORD, BYTE*, DWORD*)
OLDER_CSP_REFUSES(CPGenKey, HCRYPTPROV, ALG_ID, DWORD, HCRYPTKEY*)
OLDER_CSP_REFUSES(CPGetUserKey, HCRYPTPROV, DWORD, HCRYPTKEY*)
OLDER_CSP_REFUSES(CPExportKey, HCRYPTPROV, HCRYPTKEY, HCRYPTKEY, DWORD, DWORD, BYTE*, DWORD*)
OLDER_CSP_REFUSES(CPImportKey, HCRYPTPROV, const BYTE*, DWORD, HCRYPTKEY, DWORD, HCRYPTKEY*)
OLDER_CSP_REFUSES(CPEncrypt, HCRYPTPROV, HCRYPTKEY, HCRYPTHASH, BOOL, DWORD, BYTE*, DWORD*, DWORD)
OLDER_CSP_REFUSES(CPDecrypt, HCRYPTPROV, HCRYPTKEY, HCRYPTHASH, BOOL, DWORD, BYTE*, DWORD*)
OLDER_CSP_REFUSES(CPVerifySignature, HCRYPTPROV, HCRYPTHASH, const BYTE*, DWORD, HCRYPTKEY, LPCSTR, DWORD)
OLDER_CSP_REFUSES(CPDestroyKey, HCRYPTPROV, HCRYPTKEY)
