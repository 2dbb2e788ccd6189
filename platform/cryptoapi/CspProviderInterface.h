#pragma once

/* The entry points that a cryptographic service provider library exports, as the CryptoAPI
   layer calls them. Handles passed in and out are the provider's own. A provider reports why a
   call failed through the SetLastError function handed to it when a context is acquired. */

#include "WinCryptTypes.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef void (*PFN_SET_LAST_ERROR)(DWORD error);

#define CSP_INTERFACE_VERSION 1u

typedef struct VTableProvStruc {
    DWORD Version;
    DWORD dwProvType;
    LPCSTR pszProvName;
    PFN_SET_LAST_ERROR FuncSetLastError;
} VTableProvStruc;

typedef BOOL (*PFN_CPAcquireContext)(HCRYPTPROV* phProv, LPCSTR szContainer, DWORD dwFlags,
                                     const VTableProvStruc* pVTable);
typedef BOOL (*PFN_CPReleaseContext)(HCRYPTPROV hProv, DWORD dwFlags);
typedef BOOL (*PFN_CPGetProvParam)(HCRYPTPROV hProv, DWORD dwParam, BYTE* pbData, DWORD* pdwDataLen,
                                   DWORD dwFlags);
typedef BOOL (*PFN_CPCreateHash)(HCRYPTPROV hProv, ALG_ID Algid, HCRYPTKEY hKey, DWORD dwFlags,
                                 HCRYPTHASH* phHash);
typedef BOOL (*PFN_CPHashData)(HCRYPTPROV hProv, HCRYPTHASH hHash, const BYTE* pbData, DWORD dwDataLen,
                               DWORD dwFlags);
typedef BOOL (*PFN_CPSetHashParam)(HCRYPTPROV hProv, HCRYPTHASH hHash, DWORD dwParam, const BYTE* pbData,
                                   DWORD dwFlags);
typedef BOOL (*PFN_CPSignHash)(HCRYPTPROV hProv, HCRYPTHASH hHash, DWORD dwKeySpec, LPCSTR szDescription,
                               DWORD dwFlags, BYTE* pbSignature, DWORD* pdwSigLen);
typedef BOOL (*PFN_CPDestroyHash)(HCRYPTPROV hProv, HCRYPTHASH hHash);
typedef BOOL (*PFN_CPGenKey)(HCRYPTPROV hProv, ALG_ID Algid, DWORD dwFlags, HCRYPTKEY* phKey);
typedef BOOL (*PFN_CPGetUserKey)(HCRYPTPROV hProv, DWORD dwKeySpec, HCRYPTKEY* phUserKey);
typedef BOOL (*PFN_CPExportKey)(HCRYPTPROV hProv, HCRYPTKEY hKey, HCRYPTKEY hPubKey, DWORD dwBlobType,
                                DWORD dwFlags, BYTE* pbData, DWORD* pdwDataLen);
typedef BOOL (*PFN_CPImportKey)(HCRYPTPROV hProv, const BYTE* pbData, DWORD dwDataLen, HCRYPTKEY hPubKey,
                                DWORD dwFlags, HCRYPTKEY* phKey);
typedef BOOL (*PFN_CPEncrypt)(HCRYPTPROV hProv, HCRYPTKEY hKey, HCRYPTHASH hHash, BOOL fFinal, DWORD dwFlags,
                              BYTE* pbData, DWORD* pdwDataLen, DWORD dwBufLen);
typedef BOOL (*PFN_CPDecrypt)(HCRYPTPROV hProv, HCRYPTKEY hKey, HCRYPTHASH hHash, BOOL fFinal, DWORD dwFlags,
                              BYTE* pbData, DWORD* pdwDataLen);
typedef BOOL (*PFN_CPVerifySignature)(HCRYPTPROV hProv, HCRYPTHASH hHash, const BYTE* pbSignature,
                                      DWORD dwSigLen, HCRYPTKEY hPubKey, LPCSTR szDescription, DWORD dwFlags);
typedef BOOL (*PFN_CPDestroyKey)(HCRYPTPROV hProv, HCRYPTKEY hKey);

#ifdef __cplusplus
}
#endif
