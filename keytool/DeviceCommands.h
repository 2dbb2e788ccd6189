#pragma once

#include "CommandLine.h"
#include "FieldAssignments.h"
#include "KeyCommand.h"

namespace talvo::keytool {

// The device information page's buttons: "查看信息" with the serial number and the CSP name
// (info), "设置信息" (set) and "初始化" (format).
class DeviceCommands : public KeyCommand {
public:
    explicit DeviceCommands(const Invocation& invocation);

    int check(Console& console) override;
    int ask(TerminalPrompt& terminal, Console& console) override;
    int run(KeyDriverBinding& binding, Console& console) override;

private:
    int runInfo(KeyDriverBinding& binding, Console& console);
    int runSet(KeyDriverBinding& binding, Console& console);
    int runFormat(KeyDriverBinding& binding, Console& console);

    CommandId m_command;
    std::vector<std::string> m_arguments;
    bool m_confirmed = false;
    FieldAssignments m_fields;
};

} // namespace talvo::keytool
