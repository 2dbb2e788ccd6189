#pragma once

#include <QString>

#include <optional>

namespace talvo::keytool {

class Console;
class TerminalPrompt;

// Stands between the command line and the key, as the login stands before the main window:
// only the tool's password lets a command go on.
class PasswordGate {
public:
    // 0 when the password is right; otherwise the exit status, after saying why. The
    // password comes from the first line of the file when one is named, else from the
    // terminal, without echo.
    static int admit(const std::optional<QString>& passwordFile, TerminalPrompt& terminal, Console& console);
};

} // namespace talvo::keytool
