#pragma once

// The CryptoAPI subset the secure message files use, in the Windows form, so that the code
// calling it reads call for call like the original and stays byte-compatible with it.
// A provider is an outside module: CryptAcquireContextA finds it by name in the provider
// registry (see CspRegistry.h) and loads its library at run time.
//
// Common rules: a function returns TRUE on success; on failure it returns FALSE and
// GetLastError() tells why. A function that writes a variable-length result into a caller
// buffer reports the length it needs when the buffer is null (and succeeds), and fails with
// ERROR_MORE_DATA, the length set, when the buffer is too small.

#include "WinCryptTypes.h"

DWORD GetLastError();
void SetLastError(DWORD error);

// A null container name opens the provider's default container; a null provider name takes
// the first registered provider of the type.
BOOL CryptAcquireContextA(HCRYPTPROV* phProv, LPCSTR szContainer, LPCSTR szProvider, DWORD dwProvType,
                          DWORD dwFlags);
// Also invalidates the keys and hashes that the context still holds.
BOOL CryptReleaseContext(HCRYPTPROV hProv, DWORD dwFlags);
BOOL CryptGetProvParam(HCRYPTPROV hProv, DWORD dwParam, BYTE* pbData, DWORD* pdwDataLen, DWORD dwFlags);

BOOL CryptCreateHash(HCRYPTPROV hProv, ALG_ID Algid, HCRYPTKEY hKey, DWORD dwFlags, HCRYPTHASH* phHash);
BOOL CryptHashData(HCRYPTHASH hHash, const BYTE* pbData, DWORD dwDataLen, DWORD dwFlags);
BOOL CryptDestroyHash(HCRYPTHASH hHash);
// HP_HASHVAL sets a hash's value to a digest computed elsewhere, as long as the hash's own;
// ERROR_CALL_NOT_IMPLEMENTED from a provider that offers no such setting.
BOOL CryptSetHashParam(HCRYPTHASH hHash, DWORD dwParam, const BYTE* pbData, DWORD dwFlags);
BOOL CryptSignHashA(HCRYPTHASH hHash, DWORD dwKeySpec, LPCSTR szDescription, DWORD dwFlags, BYTE* pbSignature,
                    DWORD* pdwSigLen);
BOOL CryptVerifySignatureA(HCRYPTHASH hHash, const BYTE* pbSignature, DWORD dwSigLen, HCRYPTKEY hPubKey,
                           LPCSTR szDescription, DWORD dwFlags);

BOOL CryptGenKey(HCRYPTPROV hProv, ALG_ID Algid, DWORD dwFlags, HCRYPTKEY* phKey);
BOOL CryptGetUserKey(HCRYPTPROV hProv, DWORD dwKeySpec, HCRYPTKEY* phUserKey);
BOOL CryptExportKey(HCRYPTKEY hKey, HCRYPTKEY hExpKey, DWORD dwBlobType, DWORD dwFlags, BYTE* pbData,
                    DWORD* pdwDataLen);
BOOL CryptImportKey(HCRYPTPROV hProv, const BYTE* pbData, DWORD dwDataLen, HCRYPTKEY hPubKey, DWORD dwFlags,
                    HCRYPTKEY* phKey);
BOOL CryptDestroyKey(HCRYPTKEY hKey);

// *pdwDataLen holds the plaintext length on entry and the ciphertext length on return;
// dwBufLen is the size of pbData.
BOOL CryptEncrypt(HCRYPTKEY hKey, HCRYPTHASH hHash, BOOL Final, DWORD dwFlags, BYTE* pbData,
                  DWORD* pdwDataLen, DWORD dwBufLen);
// A block cipher's non-final call may hold back its last block (whose padding only the final
// call can judge) and return it in front of the next call's output, so a call can give back up
// to one block more than it was passed: the buffer must have room for that block.
BOOL CryptDecrypt(HCRYPTKEY hKey, HCRYPTHASH hHash, BOOL Final, DWORD dwFlags, BYTE* pbData,
                  DWORD* pdwDataLen);
