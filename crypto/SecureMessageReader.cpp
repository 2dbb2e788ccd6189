#include "SecureMessage.h"

#include "FileHashing.h"
#include "FileIdentity.h"
#include "ProviderSession.h"
#include "ReadOnceFile.h"
#include "ReplacementFile.h"
#include "SecureMessageFormat.h"
#include "SecureMessageTexts.h"

#include <array>
#include <cstdio>

namespace talvo {

namespace {

using namespace secure_message;

// Reads a length as a little-endian host would read it into its preset value: bytes that the
// file is too short to supply keep theirs.
DWORD readLengthOverPreset(std::FILE* file, DWORD preset)
{
    BYTE bytes[4] = {static_cast<BYTE>(preset), static_cast<BYTE>(preset >> 8),
                     static_cast<BYTE>(preset >> 16), static_cast<BYTE>(preset >> 24)};
    std::fread(bytes, 1, sizeof bytes, file);
    return static_cast<DWORD>(bytes[0]) | static_cast<DWORD>(bytes[1]) << 8 |
           static_cast<DWORD>(bytes[2]) << 16 | static_cast<DWORD>(bytes[3]) << 24;
}

bool nothingFollows(std::FILE* file)
{
    const int next = std::fgetc(file);
    if (next == EOF)
        return true;
    std::ungetc(next, file);
    return false;
}

bool lengthInRange(DWORD length)
{
    return length != 0 && length <= kAreaSize;
}

} // namespace

bool SecureMessage::ParseSecureMessage(const QString& securePath, const QString& targetPath)
{
    if (namesSameFile(securePath, targetPath)) {
        showError(sameFileText());
        return false;
    }
    if (namesNonRegularFile(targetPath)) {
        showError(outputNotRegularText());
        return false;
    }
    ProviderSession session;
    QString failureText;
    if (!session.acquire(CRYPT_NEXT, failureText)) {
        showError(failureText);
        return false;
    }

    std::array<BYTE, kAreaSize> signature{};
    std::array<BYTE, kAreaSize> keyBlob{};
    DWORD signatureLength = kAreaSize;
    DWORD keyBlobLength = kAreaSize;

    // A directory opens for reading here; it is no secure message file, and the target must
    // not be emptied for it. A pipe or device is read once, from its start: it may be one.
    StdioFile secure = openForReading(securePath, m_pipes == PipeOpening::WaitForPeer);
    if (!secure || isDirectory(secure.get())) {
        showError(QStringLiteral("打开文件 error"));
        return false;
    }
    // The target itself is not touched until the message has been decrypted and verified:
    // what a message that is damaged, forged or no message at all leaves is the target as it
    // was, never an emptied file or unverified plaintext under its name.
    ReplacementFile target;
    if (!target.create(targetPath)) {
        showError(QStringLiteral("打开文件 error"));
        return false;
    }
    if (target.isTarget(secure.get())) {
        showError(sameFileText());
        return false;
    }

    signatureLength = readLengthOverPreset(secure.get(), signatureLength);
    if (!lengthInRange(signatureLength)) {
        showError(QStringLiteral("越界"));
        return false;
    }
    std::fread(signature.data(), 1, signature.size(), secure.get());
    keyBlobLength = readLengthOverPreset(secure.get(), keyBlobLength);
    if (!lengthInRange(keyBlobLength)) {
        showError(QStringLiteral("越界"));
        return false;
    }
    std::fread(keyBlob.data(), 1, keyBlob.size(), secure.get());

    ScopedCryptKey messageKey;
    if (!CryptImportKey(session.handle(), keyBlob.data(), keyBlobLength, 0, 0, messageKey.receive())) {
        showError(QStringLiteral("导入密钥错误"));
        return false;
    }

    std::array<BYTE, kDecryptBufferSize> buffer{};
    ReadOnceFile input(secure.get());
    input.consumed(kHeaderSize);
    for (;;) {
        DWORD count = static_cast<DWORD>(std::fread(buffer.data(), 1, kCipherPieceSize, secure.get()));
        input.consumed(count);
        if (std::ferror(secure.get()))
            return false;
        // A piece is final when nothing follows it: a ciphertext that ends exactly with a whole
        // piece must not end with a final call on no bytes, which the providers refuse.
        const BOOL final = nothingFollows(secure.get()) ? TRUE : FALSE;
        if (std::ferror(secure.get()))
            return false;
        if (!CryptDecrypt(messageKey.get(), 0, final, 0, buffer.data(), &count))
            return false;
        std::fwrite(buffer.data(), 1, count, target.stream());
        if (std::ferror(target.stream()))
            return false;
        if (final)
            break;
    }
    messageKey.reset();
    secure.reset();

    ScopedCryptKey signatureKey;
    if (!CryptGetUserKey(session.handle(), AT_SIGNATURE, signatureKey.receive())) {
        std::fputs("The signature key has been acquired error. \n", stdout);
        std::fflush(stdout);
    }
    ScopedCryptHash hash;
    if (!CryptCreateHash(session.handle(), CALG_MD5, 0, 0, hash.receive()))
        return false;
    if (!hashWrittenContent(hash.get(), target.stream()))
        return false;
    if (!CryptVerifySignatureA(hash.get(), signature.data(), signatureLength, signatureKey.get(), nullptr,
                               0)) {
        showError(QStringLiteral("文件已经改动"));
        return false;
    }
    return target.commit();
}

} // namespace talvo
