#include "PasswordGate.h"

#include "Console.h"
#include "ExitStatus.h"
#include "SecretFile.h"
#include "TerminalPrompt.h"
#include "key/OperatorTexts.h"
#include "key/ToolPassword.h"

namespace talvo::keytool {

int PasswordGate::admit(const std::optional<QString>& passwordFile, TerminalPrompt& terminal,
                        Console& console)
{
    std::string password;
    if (passwordFile) {
        QString error;
        QString warning;
        const auto lines = SecretFile::readLines(*passwordFile, 1, &error, &warning);
        if (!lines)
            return console.usageFailure(error);
        if (!warning.isEmpty())
            console.message(warning);
        password = lines->front();
    } else {
        const std::optional<std::string> typed = terminal.askHidden(QStringLiteral("请输入密码："));
        if (!typed)
            return console.usageFailure(
                QStringLiteral("no terminal to ask the password on; use --password-file FILE"));
        password = *typed;
    }
    // Compared as given, like the login's edit: case matters and nothing is trimmed.
    if (!isToolPassword(password))
        return console.usageFailure(kWrongPasswordText, kNoticeCaption);
    return kExitSuccess;
}

} // namespace talvo::keytool
