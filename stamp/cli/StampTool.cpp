#include "StampTool.h"

#include "device/KeyDriverBinding.h"
#include "keytool/SecretFile.h"
#include "keytool/TerminalPrompt.h"
#include "platform/core/Cp936Codec.h"
#include "platform/core/LocaleText.h"
#include "platform/core/NativePath.h"
#include "platform/core/VisibleText.h"
#include "stamp/KeyDigestSigner.h"
#include "stamp/StampSteps.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <ctime>

namespace talvo::stamp {

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

void print(const QString& text)
{
    const std::string bytes = inLocaleEncoding(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

std::string fileBytes(const std::string& argument)
{
    return encodeNativePath(decodeNativePath(argument)).toStdString();
}

} // namespace

StampTool::StampTool() : m_reporter("talvo-stamp-cli") {}

int StampTool::fail(const QString& text, int status)
{
    m_reporter.reportError(text, QStringLiteral("错误"));
    return status;
}

int StampTool::run(const std::vector<std::string>& arguments)
{
    QString error;
    const std::optional<StampArguments> parsed = parseStampArguments(arguments, error);
    if (!parsed) {
        m_reporter.reportError(error, QString());
        std::fputs(inLocaleEncoding(stampUsage()).c_str(), stderr);
        return kExitUsage;
    }
    switch (parsed->request) {
    case StampArguments::Request::Help:
        print(stampUsage());
        return kExitSuccess;
    case StampArguments::Request::Version:
        print(QStringLiteral("talvo-stamp-cli " TALVO_VERSION "\n"));
        return kExitSuccess;
    default:
        break;
    }
    // The driver is loaded only once the command line is sound.
    KeyDriverBinding binding;
    const int status = parsed->request == StampArguments::Request::ListSeals
                           ? listSeals(binding, parsed->json)
                           : stamp(binding, *parsed);
    if (std::fflush(stdout) != 0)
        return fail(QStringLiteral("standard output cannot be written"), kExitFailure);
    return status;
}

int StampTool::listSeals(KeyDriverBinding& binding, bool json)
{
    std::vector<SealStanding> seals;
    if (const StampStep listed = talvo::listSeals(binding, std::time(nullptr), seals); !listed.ok)
        return fail(listed.message, kExitFailure);
    if (json) {
        QJsonArray array;
        for (const SealStanding& seal : seals)
            array.append(QJsonObject{{QStringLiteral("number"), seal.number},
                                     {QStringLiteral("name"), fromCp936(seal.cp936Name)},
                                     {QStringLiteral("expiry"), fromCp936(seal.expiryText)},
                                     {QStringLiteral("inForce"), seal.inForce}});
        print(QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented)));
        return kExitSuccess;
    }
    for (const SealStanding& seal : seals)
        print(QStringLiteral("%1\t%2\t%3\t%4\n")
                  .arg(seal.number)
                  .arg(visibleText(fromCp936(seal.cp936Name)), visibleText(fromCp936(seal.expiryText)),
                       seal.inForce ? QStringLiteral("有效") : QStringLiteral("已过期")));
    return kExitSuccess;
}

std::optional<std::string> StampTool::holderPin(const StampArguments& arguments)
{
    if (arguments.pinFile) {
        const QString path = decodeNativePath(*arguments.pinFile);
        QString error;
        QString warning;
        const std::optional<std::vector<std::string>> lines =
            keytool::SecretFile::readLines(path, 1, &error, &warning);
        if (!lines) {
            fail(error, kExitUsage);
            return std::nullopt;
        }
        // A PIN that others may read is no longer the key holder's alone.
        if (!warning.isEmpty()) {
            fail(QStringLiteral("PIN文件 %1 其他用户可以读取，未使用（chmod 600）").arg(visibleText(path)),
                 kExitUsage);
            return std::nullopt;
        }
        return fromLocaleEncoding(lines->front()).toStdString();
    }
    keytool::TerminalPrompt terminal;
    const std::optional<std::string> typed = terminal.askHidden(QStringLiteral("输入PIN码："));
    if (!typed) {
        fail(QStringLiteral("no terminal to ask the PIN on; use --pin-file FILE"), kExitUsage);
        return std::nullopt;
    }
    return fromLocaleEncoding(*typed).toStdString();
}

int StampTool::stamp(KeyDriverBinding& binding, const StampArguments& arguments)
{
    const std::time_t now = std::time(nullptr);
    SealStanding seal;
    if (const StampStep chosen = chooseSeal(binding, arguments.sealNumber, now, seal); !chosen.ok)
        return fail(chosen.message, kExitFailure);
    const std::optional<std::string> pin = holderPin(arguments);
    if (!pin)
        return kExitUsage;
    if (const StampStep verified = verifyHolderPin(binding, *pin); !verified.ok)
        return fail(verified.message, kExitFailure);

    pdf::SealStamp stamp;
    stamp.placement = arguments.placement;
    stamp.sealName = fromCp936(seal.cp936Name).toStdString();
    stamp.reason = arguments.reason;
    if (const StampStep read = readSealPictureBytes(binding, seal.number, stamp.picture); !read.ok)
        return fail(read.message, kExitFailure);
    KeyDigestSigner signer(binding);
    const pdf::SealingResult result =
        pdf::sealDocument(fileBytes(arguments.input), fileBytes(arguments.output), {stamp}, signer, now);
    if (!result.ok)
        return fail(visibleText(QString::fromUtf8(result.error)), kExitFailure);
    print(QStringLiteral("盖章成功\n"));
    return kExitSuccess;
}

} // namespace talvo::stamp
