#pragma once

/* The Windows types, constants and error codes of the CryptoAPI subset, shared by the tool's
   CryptoAPI layer and by the providers it loads (which may be written in C). */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t BOOL;
typedef uint8_t BYTE;
typedef uint32_t DWORD;
typedef uint32_t ALG_ID;
typedef const char* LPCSTR;
typedef uintptr_t ULONG_PTR;
typedef ULONG_PTR HCRYPTPROV;
typedef ULONG_PTR HCRYPTKEY;
typedef ULONG_PTR HCRYPTHASH;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define PROV_RSA_FULL 1u

#define PP_CONTAINER 2u
#define PP_NAME 4u
#define PP_PROVTYPE 16u

/* Flags of the enumerating parameters; the other parameters accept and ignore them. */
#define CRYPT_FIRST 1u
#define CRYPT_NEXT 2u

#define CALG_MD5 0x8003u
#define CALG_SHA_256 0x800cu
#define CALG_DES 0x6601u
#define CALG_RSA_SIGN 0x2400u
#define CALG_RSA_KEYX 0xa400u

#define AT_KEYEXCHANGE 1u
#define AT_SIGNATURE 2u

#define SIMPLEBLOB 1u
#define PUBLICKEYBLOB 6u
#define CUR_BLOB_VERSION 2u

#define CRYPT_EXPORTABLE 1u

#define HP_HASHVAL 2u

/* GetLastError values. */
#define ERROR_SUCCESS 0u
#define ERROR_INVALID_HANDLE 6u
#define ERROR_NOT_ENOUGH_MEMORY 8u
#define ERROR_INVALID_PARAMETER 87u
#define ERROR_CALL_NOT_IMPLEMENTED 120u
#define ERROR_MORE_DATA 234u
#define NTE_BAD_UID 0x80090001u
#define NTE_BAD_HASH 0x80090002u
#define NTE_BAD_KEY 0x80090003u
#define NTE_BAD_LEN 0x80090004u
#define NTE_BAD_DATA 0x80090005u
#define NTE_BAD_SIGNATURE 0x80090006u
#define NTE_BAD_VER 0x80090007u
#define NTE_BAD_ALGID 0x80090008u
#define NTE_BAD_FLAGS 0x80090009u
#define NTE_BAD_TYPE 0x8009000Au
#define NTE_BAD_KEY_STATE 0x8009000Bu
#define NTE_BAD_HASH_STATE 0x8009000Cu
#define NTE_NO_KEY 0x8009000Du
#define NTE_NO_MEMORY 0x8009000Eu
#define NTE_BAD_PUBLIC_KEY 0x80090015u
#define NTE_BAD_KEYSET 0x80090016u
#define NTE_PROV_TYPE_NOT_DEF 0x80090017u
#define NTE_KEYSET_NOT_DEF 0x80090019u
#define NTE_PROVIDER_DLL_FAIL 0x8009001Du
#define NTE_PROV_TYPE_NO_MATCH 0x8009001Bu
#define NTE_FAIL 0x80090020u

#ifdef __cplusplus
}
#endif
