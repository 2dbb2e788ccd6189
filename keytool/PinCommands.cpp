#include "PinCommands.h"

#include "Console.h"
#include "ExitStatus.h"
#include "SecretFile.h"
#include "TerminalPrompt.h"
#include "device/DriverConventions.h"
#include "device/KeyDriverBinding.h"
#include "key/OperatorTexts.h"
#include "key/PinChange.h"
#include "key/PinOperations.h"
#include "platform/core/Cp936Codec.h"
#include "platform/core/LocaleText.h"
#include "platform/core/NativePath.h"

namespace talvo::keytool {

namespace {

std::size_t pinCount(CommandId command)
{
    return command == CommandId::PinChange ? 3 : 1;
}

} // namespace

PinCommands::PinCommands(const Invocation& invocation)
    : m_command(invocation.command), m_pinFile(invocation.value("--pin-file"))
{
}

int PinCommands::check(Console& console)
{
    if (!m_pinFile)
        return kExitSuccess;
    QString error;
    QString warning;
    const auto lines =
        SecretFile::readLines(decodeNativePath(*m_pinFile), pinCount(m_command), &error, &warning);
    if (!lines)
        return console.usageFailure(error);
    if (!warning.isEmpty())
        console.message(warning);
    m_pins = *lines;
    return checkPins(console);
}

int PinCommands::ask(TerminalPrompt& terminal, Console& console)
{
    if (m_pinFile)
        return kExitSuccess;
    // The page's own labels.
    const QStringList prompts = m_command == CommandId::PinChange
                                    ? QStringList{QStringLiteral("旧密码："), QStringLiteral("新密码："),
                                                  QStringLiteral("密码确认：")}
                                    : QStringList{QStringLiteral("输入PIN码：")};
    for (const QString& prompt : prompts) {
        const std::optional<std::string> typed = terminal.askHidden(prompt);
        if (!typed)
            return console.usageFailure(QStringLiteral("no terminal to ask the PIN on; use --pin-file FILE"));
        m_pins.push_back(*typed);
    }
    return checkPins(console);
}

int PinCommands::checkPins(Console& console)
{
    for (std::string& pin : m_pins) {
        const QString text = fromLocaleEncoding(pin);
        pin = toCp936(text);
        if (fromCp936(pin) != text)
            return console.usageFailure(QStringLiteral("the key's code page (GBK) cannot hold the PIN"));
    }
    if (m_command != CommandId::PinChange)
        return kExitSuccess;
    // Refused as the page's edits and its first check refuse them, before the key is asked.
    if (m_pins[0].empty() || m_pins[1].empty() || m_pins[2].empty())
        return console.usageFailure(pinChangeText(PinChangeOutcome::Incomplete), kWarningCaption);
    for (const std::string& pin : m_pins) {
        if (pin.size() > kPinMaxBytes)
            return console.usageFailure(QStringLiteral("注：密码长度不能超过6位"), kWarningCaption);
    }
    // The page leaves a differing confirmation on screen without a word; here nothing would
    // show it, so it is refused before the old PIN is checked.
    if (m_pins[1] != m_pins[2])
        return console.usageFailure(
            QStringLiteral("the new PIN and its confirmation differ: nothing was changed"));
    return kExitSuccess;
}

int PinCommands::run(KeyDriverBinding& binding, Console& console)
{
    if (m_command == CommandId::PinCheck) {
        const int32_t status = checkPin(binding, m_pins.at(0));
        if (status != TL_OK) {
            console.notice(QStringLiteral("error"));
            return console.statusFailure(status);
        }
        console.notice(QStringLiteral("ok"));
        return kExitSuccess;
    }
    const PinChangeResult result = changePin(binding, m_pins.at(0), m_pins.at(1), m_pins.at(2));
    if (result.outcome == PinChangeOutcome::Changed) {
        console.notice(pinChangeText(result.outcome));
        return kExitSuccess;
    }
    if (result.status != TL_OK)
        console.statusFailure(result.status);
    const bool refusedOldPin = result.outcome == PinChangeOutcome::WrongOldPin;
    console.message(pinChangeText(result.outcome), refusedOldPin ? kWarningCaption : kNoticeCaption);
    return kExitFailure;
}

} // namespace talvo::keytool
