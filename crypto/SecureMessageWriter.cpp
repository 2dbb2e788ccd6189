#include "SecureMessage.h"

#include "FileHashing.h"
#include "FileIdentity.h"
#include "OutputFile.h"
#include "ProviderSession.h"
#include "SecureMessageFormat.h"
#include "SecureMessageTexts.h"

#include <array>

namespace talvo {

namespace {

using namespace secure_message;

void writeLittleEndian(std::FILE* file, DWORD value)
{
    const BYTE bytes[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8),
                           static_cast<BYTE>(value >> 16), static_cast<BYTE>(value >> 24)};
    std::fwrite(bytes, 1, sizeof bytes, file);
}

} // namespace

bool SecureMessage::GenerateSecureMessage(const QString& sourcePath, const QString& outputPath)
{
    if (namesSameFile(sourcePath, outputPath)) {
        showError(sameFileText());
        return false;
    }
    if (namesNonRegularFile(sourcePath)) {
        showError(inputNotRegularText());
        return false;
    }
    ProviderSession session;
    QString failureText;
    if (!session.acquire(CRYPT_FIRST, failureText)) {
        showError(failureText);
        return false;
    }

    ScopedCryptHash hash;
    if (!CryptCreateHash(session.handle(), CALG_MD5, 0, 0, hash.receive())) {
        showError(QStringLiteral("CryptCreateHash error"));
        return false;
    }
    if (!hashFileContent(hash.get(), sourcePath))
        return false;

    // A result that does not fit its 300-byte area fails its step rather than overrun it.
    std::array<BYTE, kAreaSize> signature{};
    DWORD signatureLength = 0;
    if (!CryptSignHashA(hash.get(), AT_SIGNATURE, kSignatureDescription, 0, nullptr, &signatureLength) ||
        signatureLength == 0 || signatureLength > kAreaSize ||
        !CryptSignHashA(hash.get(), AT_SIGNATURE, kSignatureDescription, 0, signature.data(),
                        &signatureLength) ||
        signatureLength == 0 || signatureLength > kAreaSize) {
        showError(QStringLiteral("CryptSignHash error"));
        return false;
    }

    ScopedCryptKey messageKey;
    if (!CryptGenKey(session.handle(), CALG_DES, CRYPT_EXPORTABLE, messageKey.receive())) {
        showError(QStringLiteral("CryptGenKey error"));
        return false;
    }
    ScopedCryptKey exchangeKey;
    if (!CryptGetUserKey(session.handle(), AT_KEYEXCHANGE, exchangeKey.receive())) {
        showError(QStringLiteral("CryptGetUserKey error"));
        return false;
    }
    std::array<BYTE, kAreaSize> keyBlob{};
    DWORD keyBlobLength = 4;
    if (!CryptExportKey(messageKey.get(), exchangeKey.get(), SIMPLEBLOB, 0, nullptr, &keyBlobLength) ||
        keyBlobLength == 0 || keyBlobLength > kAreaSize ||
        !CryptExportKey(messageKey.get(), exchangeKey.get(), SIMPLEBLOB, 0, keyBlob.data(), &keyBlobLength) ||
        keyBlobLength == 0 || keyBlobLength > kAreaSize) {
        showError(QStringLiteral("CryptExportKey error"));
        return false;
    }
    exchangeKey.reset();

    // Only now is an output file made, beside the output: the output itself changes only once
    // the whole message is on disk.
    OutputFile output;
    if (!output.open(outputPath, m_pipes == PipeOpening::WaitForPeer))
        return false;
    StdioFile source = openRegularFileForReading(sourcePath);
    if (!source)
        return false;
    if (output.isOutput(source.get())) {
        showError(sameFileText());
        return false;
    }

    writeLittleEndian(output.stream(), signatureLength);
    std::fwrite(signature.data(), 1, signature.size(), output.stream());
    writeLittleEndian(output.stream(), keyBlobLength);
    std::fwrite(keyBlob.data(), 1, keyBlob.size(), output.stream());

    // The final flag comes from the end-of-file indicator: a source whose length is a multiple
    // of the piece size ends with a final call on no bytes, which gives the padding alone.
    std::array<BYTE, kEncryptBufferSize> buffer{};
    for (;;) {
        DWORD count = static_cast<DWORD>(std::fread(buffer.data(), 1, kCipherPieceSize, source.get()));
        if (std::ferror(source.get()))
            return false;
        const BOOL final = std::feof(source.get()) ? TRUE : FALSE;
        if (!CryptEncrypt(messageKey.get(), 0, final, 0, buffer.data(), &count, kEncryptBufferSize))
            return false;
        std::fwrite(buffer.data(), 1, count, output.stream());
        if (std::ferror(output.stream()))
            return false;
        if (final)
            break;
    }
    source.reset();
    return output.commit();
}

} // namespace talvo
