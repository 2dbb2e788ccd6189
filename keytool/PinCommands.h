#pragma once

#include "CommandLine.h"
#include "KeyCommand.h"

#include <string>
#include <vector>

namespace talvo::keytool {

// The PIN page's "设置密码" (pin change) and "校验" (pin check).
class PinCommands : public KeyCommand {
public:
    explicit PinCommands(const Invocation& invocation);

    int check(Console& console) override;
    int ask(TerminalPrompt& terminal, Console& console) override;
    int run(KeyDriverBinding& binding, Console& console) override;

private:
    // The PINs as the page's edits would hold them; 0, or the exit status after saying why.
    int checkPins(Console& console);

    CommandId m_command;
    std::optional<std::string> m_pinFile;
    // In the key's code page: the one PIN to check, or old, new and confirmation.
    std::vector<std::string> m_pins;
};

} // namespace talvo::keytool
