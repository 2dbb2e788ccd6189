#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace talvo {

// What an operator reads off an X.509 certificate. Widget-free on purpose: the certificate
// window and command-line programs show the same texts.
struct CertificateDetails {
    QString subject;
    // The subject's (last) common name alone; empty when it has none.
    QString subjectCommonName;
    QString issuer;
    // Uppercase hexadecimal, as "openssl x509 -serial" prints it.
    QString serialNumber;
    QDateTime notBefore; // UTC
    QDateTime notAfter;  // UTC
    // The key's algorithm and size, "RSA (2048 位)".
    QString publicKey;
    // Uppercase hexadecimal pairs joined by ':', as "openssl x509 -fingerprint" prints them.
    QString sha1Fingerprint;
    QString sha256Fingerprint;
};

struct CertificateField {
    QString label;
    QString value;
    // Hexadecimal digits, best read in a fixed-pitch font.
    bool hexadecimal = false;
};

// A certificate in PEM ("-----BEGIN CERTIFICATE-----") or DER form. On failure the error says
// why, in the tool's language.
std::optional<CertificateDetails> decodeCertificate(const QByteArray& bytes, QString* error = nullptr);

// The same certificate as DER, as a signature embeds it; nothing for bytes that hold none.
std::optional<std::vector<uint8_t>> certificateDer(const QByteArray& bytes);

// Certificate files are small; anything larger than this is refused unread.
inline constexpr qint64 kMaxCertificateFileSize = 1024 * 1024;

std::optional<CertificateDetails> readCertificateFile(const QString& path, QString* error = nullptr);

// The details as labelled lines, in the order a certificate viewer shows them; times in
// local time.
QList<CertificateField> certificateFields(const CertificateDetails& details);

} // namespace talvo
