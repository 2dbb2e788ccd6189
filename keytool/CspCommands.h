#pragma once

#include "CommandLine.h"
#include "KeyCommand.h"

#include <QString>

#include <optional>
#include <string>

namespace talvo::keytool {

// The cryptographic service page's key functions: the certificate export dialog (cert
// export), the certificate itself (cert show), "验证签名信息" (verify) and "计算Hash值" (hash).
class CspCommands : public KeyCommand {
public:
    explicit CspCommands(const Invocation& invocation);

    int check(Console& console) override;
    int ask(TerminalPrompt& terminal, Console& console) override;
    int run(KeyDriverBinding& binding, Console& console) override;

private:
    int runExport(KeyDriverBinding& binding, Console& console);
    int runShow(KeyDriverBinding& binding, Console& console);
    int runVerify(KeyDriverBinding& binding, Console& console);
    int runHash(KeyDriverBinding& binding, Console& console);

    CommandId m_command;
    std::vector<std::string> m_arguments;
    std::optional<std::string> m_pinFile;
    QString m_path;
    std::string m_pin;
};

} // namespace talvo::keytool
