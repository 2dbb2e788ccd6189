#pragma once

#include "platform/cryptoapi/KeyProvider.h"
#include "platform/cryptoapi/WinCryptTypes.h"

#include <cstddef>

namespace talvo::secure_message {

// Header: signature length, signature area, key blob length, key blob area; the DES
// ciphertext follows to the end of the file. Lengths are little-endian.
constexpr DWORD kAreaSize = 300;
constexpr std::size_t kHeaderSize = 4 + kAreaSize + 4 + kAreaSize;

constexpr std::size_t kHashReadSize = 4096;
constexpr DWORD kCipherPieceSize = 1000;
// One DES block beyond a piece for the padding of the final encryption; decryption never
// lengthens data.
constexpr DWORD kEncryptBufferSize = kCipherPieceSize + 8;
constexpr DWORD kDecryptBufferSize = kCipherPieceSize;

constexpr const char* kProviderName = kKeyProviderName;
constexpr const char* kSignatureDescription = "Test Data Description";

} // namespace talvo::secure_message
