#include "CspCommands.h"
#include "key/OperatorTexts.h"
#include "platform/core/CertificateFile.h"

#include "Console.h"
#include "ExitStatus.h"
#include "OutputPath.h"
#include "SecretFile.h"
#include "TerminalPrompt.h"
#include "device/DriverConventions.h"
#include "device/KeyDriverBinding.h"
#include "key/BaseRecord.h"
#include "key/CertificateOperations.h"
#include "key/PinOperations.h"
#include "platform/core/CertificateDetails.h"
#include "platform/core/Cp936Codec.h"
#include "platform/core/FileErrorText.h"
#include "platform/core/LocaleText.h"
#include "platform/core/NativePath.h"

namespace talvo::keytool {

namespace {

QString utcText(const QDateTime& time)
{
    return time.isValid() ? time.toUTC().toString(Qt::ISODate) : QString();
}

} // namespace

CspCommands::CspCommands(const Invocation& invocation)
    : m_command(invocation.command), m_arguments(invocation.arguments),
      m_pinFile(invocation.value("--pin-file"))
{
}

int CspCommands::check(Console& console)
{
    if (m_command == CommandId::CertExport) {
        m_path = decodeNativePath(m_arguments.at(0));
        if (m_path.isEmpty())
            return console.usageFailure(kExportPathMissingText, kNoticeCaption);
        if (const QString problem = outputPathProblem(m_path); !problem.isEmpty())
            return console.usageFailure(problem, kErrorCaption);
    }
    if (m_command == CommandId::Hash && m_pinFile) {
        QString error;
        QString warning;
        const auto lines = SecretFile::readLines(decodeNativePath(*m_pinFile), 1, &error, &warning);
        if (!lines)
            return console.usageFailure(error);
        if (!warning.isEmpty())
            console.message(warning);
        m_pin = toCp936(fromLocaleEncoding(lines->front()));
    }
    return kExitSuccess;
}

int CspCommands::ask(TerminalPrompt& terminal, Console& console)
{
    if (m_command != CommandId::Hash || m_pinFile)
        return kExitSuccess;
    const std::optional<std::string> typed = terminal.askHidden(QStringLiteral("口令："));
    if (!typed)
        return console.usageFailure(QStringLiteral("no terminal to ask the PIN on; use --pin-file FILE"));
    m_pin = toCp936(fromLocaleEncoding(*typed));
    return kExitSuccess;
}

int CspCommands::run(KeyDriverBinding& binding, Console& console)
{
    switch (m_command) {
    case CommandId::CertExport:
        return runExport(binding, console);
    case CommandId::CertShow:
        return runShow(binding, console);
    case CommandId::Verify:
        return runVerify(binding, console);
    default:
        return runHash(binding, console);
    }
}

int CspCommands::runExport(KeyDriverBinding& binding, Console& console)
{
    if (!keyPresent(binding)) {
        console.message(kKeyAbsentText, kNoticeCaption);
        console.message(kCertExportFailedText, kNoticeCaption);
        return kExitFailure;
    }
    TwoCallRead certificate(certificateRead(binding));
    if (const int32_t status = certificate.readAll(); status != TL_OK) {
        console.statusFailure(status);
        console.message(kCertExportFailedText, kNoticeCaption);
        return kExitFailure;
    }
    // As in the dialog, a file that cannot be written is its own failure, told as a file error.
    if (const int error = writeCertificateFile(m_path, certificate.bytes(), certificate.size()); error != 0) {
        console.message(fileErrorText(m_path, error), kErrorCaption);
        return kExitFailure;
    }
    console.notice(kCertExportedText);
    return kExitSuccess;
}

int CspCommands::runShow(KeyDriverBinding& binding, Console& console)
{
    TwoCallRead certificate(certificateRead(binding));
    if (const int32_t status = certificate.readAll(); status != TL_OK) {
        console.statusFailure(status);
        console.message(kNoCertificateText, kNoticeCaption);
        return kExitFailure;
    }
    QString error;
    const std::optional<CertificateDetails> details = decodeCertificate(certificate.toByteArray(), &error);
    if (!details) {
        console.message(error, kErrorCaption);
        return kExitFailure;
    }
    Output& output = console.output();
    output.add(QStringLiteral("subject"), details->subject);
    output.add(QStringLiteral("issuer"), details->issuer);
    output.add(QStringLiteral("serialNumber"), details->serialNumber);
    output.add(QStringLiteral("notBefore"), utcText(details->notBefore));
    output.add(QStringLiteral("notAfter"), utcText(details->notAfter));
    output.add(QStringLiteral("publicKey"), details->publicKey);
    output.add(QStringLiteral("sha1Fingerprint"), details->sha1Fingerprint);
    output.add(QStringLiteral("sha256Fingerprint"), details->sha256Fingerprint);
    return kExitSuccess;
}

int CspCommands::runVerify(KeyDriverBinding& binding, Console& console)
{
    TwoCallRead signature(signatureRead(binding));
    const int32_t signatureStatus = signature.readAll();
    TwoCallRead publicKey(publicKeyRead(binding));
    const int32_t publicKeyStatus = publicKey.readAll();
    uint8_t verified = 0;
    const int32_t status = verifySignature(binding, publicKey.bytes(), publicKey.size(), signature.bytes(),
                                           signature.size(), verified);
    const bool ok = verified != 0;
    console.output().addResult(QStringLiteral("result"),
                               ok ? QStringLiteral("OK") : QStringLiteral("Failed"));
    if (ok)
        return kExitSuccess;
    // The page shows only "Failed"; a script is told which call failed, if one did.
    for (const int32_t failed : {signatureStatus, publicKeyStatus, status}) {
        if (failed != TL_OK)
            return console.statusFailure(failed);
    }
    return kExitFailure;
}

int CspCommands::runHash(KeyDriverBinding& binding, Console& console)
{
    // The page reads at most six bytes of the PIN and always hashes six: a shorter PIN is
    // hashed with the zero bytes after it.
    char hash[kCalcHashBufferSize] = {};
    const int32_t status = hashPin(binding, m_pin, hash);
    if (status != TL_OK)
        return console.statusFailure(status);
    console.output().addResult(QStringLiteral("hash"), fromCp936(hash, sizeof hash));
    return kExitSuccess;
}

} // namespace talvo::keytool
