#pragma once

#include <QString>

#include <optional>
#include <string>

namespace talvo::keytool {

// Asks the operator on the controlling terminal (/dev/tty), never on standard input, so that
// a script's pipes cannot answer for a person. Hidden answers are read with echo off; echo
// comes back when the answer is in, and also when a signal ends the program meanwhile.
class TerminalPrompt {
public:
    TerminalPrompt() = default;
    ~TerminalPrompt();
    TerminalPrompt(const TerminalPrompt&) = delete;
    TerminalPrompt& operator=(const TerminalPrompt&) = delete;

    // The line typed, without its end; nothing when there is no terminal or it ended first.
    std::optional<std::string> askHidden(const QString& prompt);
    // True for an answer that starts with y or Y; nothing when there is no terminal.
    std::optional<bool> confirm(const QString& question);

private:
    bool open();
    std::optional<std::string> readLine();
    void write(const std::string& bytes) const;

    int m_descriptor = -1;
};

} // namespace talvo::keytool
