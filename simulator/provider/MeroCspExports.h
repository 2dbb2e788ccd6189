#pragma once

#include "platform/cryptoapi/CspProviderInterface.h"

#define MERO_CSP_EXPORT extern "C" __attribute__((visibility("default")))

MERO_CSP_EXPORT BOOL CPAcquireContext(HCRYPTPROV* phProv, LPCSTR szContainer, DWORD dwFlags,
                                      const VTableProvStruc* pVTable);
MERO_CSP_EXPORT BOOL CPReleaseContext(HCRYPTPROV hProv, DWORD dwFlags);
MERO_CSP_EXPORT BOOL CPGetProvParam(HCRYPTPROV hProv, DWORD dwParam, BYTE* pbData, DWORD* pdwDataLen,
                                    DWORD dwFlags);
MERO_CSP_EXPORT BOOL CPCreateHash(HCRYPTPROV hProv, ALG_ID Algid, HCRYPTKEY hKey, DWORD dwFlags,
                                  HCRYPTHASH* phHash);
MERO_CSP_EXPORT BOOL CPHashData(HCRYPTPROV hProv, HCRYPTHASH hHash, const BYTE* pbData, DWORD dwDataLen,
                                DWORD dwFlags);
MERO_CSP_EXPORT BOOL CPSetHashParam(HCRYPTPROV hProv, HCRYPTHASH hHash, DWORD dwParam, const BYTE* pbData,
                                    DWORD dwFlags);
MERO_CSP_EXPORT BOOL CPSignHash(HCRYPTPROV hProv, HCRYPTHASH hHash, DWORD dwKeySpec, LPCSTR szDescription,
                                DWORD dwFlags, BYTE* pbSignature, DWORD* pdwSigLen);
MERO_CSP_EXPORT BOOL CPDestroyHash(HCRYPTPROV hProv, HCRYPTHASH hHash);
MERO_CSP_EXPORT BOOL CPGenKey(HCRYPTPROV hProv, ALG_ID Algid, DWORD dwFlags, HCRYPTKEY* phKey);
MERO_CSP_EXPORT BOOL CPGetUserKey(HCRYPTPROV hProv, DWORD dwKeySpec, HCRYPTKEY* phUserKey);
MERO_CSP_EXPORT BOOL CPExportKey(HCRYPTPROV hProv, HCRYPTKEY hKey, HCRYPTKEY hPubKey, DWORD dwBlobType,
                                 DWORD dwFlags, BYTE* pbData, DWORD* pdwDataLen);
MERO_CSP_EXPORT BOOL CPImportKey(HCRYPTPROV hProv, const BYTE* pbData, DWORD dwDataLen, HCRYPTKEY hPubKey,
                                 DWORD dwFlags, HCRYPTKEY* phKey);
MERO_CSP_EXPORT BOOL CPEncrypt(HCRYPTPROV hProv, HCRYPTKEY hKey, HCRYPTHASH hHash, BOOL fFinal, DWORD dwFlags,
                               BYTE* pbData, DWORD* pdwDataLen, DWORD dwBufLen);
MERO_CSP_EXPORT BOOL CPDecrypt(HCRYPTPROV hProv, HCRYPTKEY hKey, HCRYPTHASH hHash, BOOL fFinal, DWORD dwFlags,
                               BYTE* pbData, DWORD* pdwDataLen);
MERO_CSP_EXPORT BOOL CPVerifySignature(HCRYPTPROV hProv, HCRYPTHASH hHash, const BYTE* pbSignature,
                                       DWORD dwSigLen, HCRYPTKEY hPubKey, LPCSTR szDescription,
                                       DWORD dwFlags);
MERO_CSP_EXPORT BOOL CPDestroyKey(HCRYPTPROV hProv, HCRYPTKEY hKey);
