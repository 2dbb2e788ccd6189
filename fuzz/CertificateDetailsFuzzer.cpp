// Feeds arbitrary bytes to the certificate reader as the certificate a key hands back, and
// makes every text the certificate window and talvo-key show of it. A shown text must hold no
// control or reordering character, and a fingerprint must have the length of its digest.

#include "platform/core/CertificateDetails.h"
#include "platform/core/VisibleText.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

void fail(const char* what, const QString& text)
{
    std::fprintf(stderr, "%s: %s\n", what, text.toUtf8().constData());
    std::abort();
}

void checkShown(const QString& text)
{
    const QString shown = talvo::visibleText(text);
    for (const QChar unit : shown) {
        const char16_t code = unit.unicode();
        if (code < 0x20 || (code >= 0x7F && code <= 0x9F) || (code >= 0x202A && code <= 0x202E) ||
            (code >= 0x2066 && code <= 0x2069) || code == 0x200E || code == 0x200F || code == 0x061C)
            fail("a shown text holds a control or reordering character", shown);
    }
}

void checkFingerprint(const QString& fingerprint, qsizetype digestBytes)
{
    // Hexadecimal pairs joined by ':'.
    if (!fingerprint.isEmpty() && fingerprint.size() != digestBytes * 3 - 1)
        fail("a fingerprint of the wrong length", fingerprint);
}

} // namespace

int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString error;
    const std::optional<talvo::CertificateDetails> details = talvo::decodeCertificate(bytes, &error);
    if (!details) {
        if (error.isEmpty())
            fail("a refused certificate names no reason", error);
        return 0;
    }
    checkFingerprint(details->sha1Fingerprint, 20);
    checkFingerprint(details->sha256Fingerprint, 32);
    checkShown(details->subjectCommonName);
    for (const talvo::CertificateField& field : talvo::certificateFields(*details)) {
        checkShown(field.label);
        checkShown(field.value);
    }
    // talvo-key prints the times in UTC.
    for (const QDateTime& time : {details->notBefore, details->notAfter}) {
        if (time.isValid())
            checkShown(time.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    }
    return 0;
}
