#include "DeviceCommands.h"

#include "Console.h"
#include "ExitStatus.h"
#include "TerminalPrompt.h"
#include "device/DriverConventions.h"
#include "device/KeyDriverBinding.h"
#include "key/BaseRecord.h"
#include "key/DeviceInfoFields.h"
#include "key/DeviceOperations.h"
#include "key/OperatorTexts.h"
#include "platform/core/Cp936Codec.h"

namespace talvo::keytool {

namespace {

// A member as its check box shows it: 1 ticked, 2 undecided, 0 clear (a flag of 5 included).
int shownFlag(int member)
{
    return flagFromCheckState(checkStateFromFlag(member));
}

} // namespace

DeviceCommands::DeviceCommands(const Invocation& invocation)
    : m_command(invocation.command), m_arguments(invocation.arguments), m_confirmed(invocation.has("--yes"))
{
}

int DeviceCommands::check(Console& console)
{
    if (m_command != CommandId::Set)
        return kExitSuccess;
    QString error;
    if (!m_fields.parse(m_arguments, &error))
        return console.usageFailure(error);
    return kExitSuccess;
}

int DeviceCommands::ask(TerminalPrompt& terminal, Console& console)
{
    if (m_command == CommandId::Info || m_confirmed)
        return kExitSuccess;
    const QString question = m_command == CommandId::Set ? kConfirmSetText : kConfirmFormatText;
    const std::optional<bool> answer = terminal.confirm(question);
    if (!answer)
        return console.usageFailure(QStringLiteral("no terminal to confirm on; use --yes"));
    if (!*answer)
        return console.usageFailure(QStringLiteral("not confirmed: nothing was changed"));
    return kExitSuccess;
}

int DeviceCommands::run(KeyDriverBinding& binding, Console& console)
{
    switch (m_command) {
    case CommandId::Set:
        return runSet(binding, console);
    case CommandId::Format:
        return runFormat(binding, console);
    default:
        return runInfo(binding, console);
    }
}

int DeviceCommands::runInfo(KeyDriverBinding& binding, Console& console)
{
    Output& output = console.output();
    const bool present = keyPresent(binding);
    output.add(QStringLiteral("present"), present);
    if (!present) {
        console.message(kKeyAbsentText, kNoticeCaption);
        return kExitFailure;
    }
    KeyBaseInfo base{};
    if (const int32_t status = readBaseInformation(binding, base); status != TL_OK)
        return console.statusFailure(status);
    char serial[kSerialBufferSize] = {};
    if (readSerial(binding, serial) != TL_OK) {
        console.message(kNoDeviceInfoText, kNoticeCaption);
        return kExitFailure;
    }
    const QString cspName = readCspName(binding);

    const DeviceInfoView view = viewFromRecord(base);
    output.add(QStringLiteral("serial"), fromCp936(serial, sizeof serial));
    output.add(QStringLiteral("mode"), view.mode);
    output.add(QStringLiteral("pinHash"), view.pinHash);
    output.add(QStringLiteral("unitId"), view.unitId);
    output.add(QStringLiteral("userId"), view.userId);
    output.add(QStringLiteral("errorTimes"), view.errorTimes.toLongLong());
    output.add(QStringLiteral("sealCount"), view.sealCount.toLongLong());
    output.add(QStringLiteral("factoryFlag"), shownFlag(view.flags.factory));
    output.add(QStringLiteral("formatFlag"), shownFlag(view.flags.format));
    output.add(QStringLiteral("initFlag"), shownFlag(view.flags.init));
    output.add(QStringLiteral("lockFlag"), shownFlag(view.flags.lock));
    output.add(QStringLiteral("timeControlFlag"), shownFlag(view.flags.timeControl));
    output.add(QStringLiteral("keyRole"), shownFlag(view.flags.keyRole));
    output.add(QStringLiteral("cspName"), cspName);
    return kExitSuccess;
}

int DeviceCommands::runSet(KeyDriverBinding& binding, Console& console)
{
    if (!keyPresent(binding)) {
        console.message(kKeyAbsentText, kNoticeCaption);
        return kExitFailure;
    }
    // The page writes its form; the command line has none: what it does not name goes back
    // byte for byte as the key gave it, flags of 2 or 5 and texts that are no CP936 included.
    KeyInfo info;
    if (const int32_t status = readKeyRecord(binding, info); status != TL_OK)
        return console.statusFailure(status);
    KeyBaseInfo record = info.base;
    m_fields.applyTo(record);
    const int32_t status = writeBaseRecord(binding, record);
    if (status != TL_OK)
        return console.statusFailure(status);
    console.notice(kOperationDoneText);
    return kExitSuccess;
}

int DeviceCommands::runFormat(KeyDriverBinding& binding, Console& console)
{
    if (!keyPresent(binding)) {
        console.message(kKeyAbsentText, kNoticeCaption);
        return kExitFailure;
    }
    if (const int32_t status = *formatKey(binding); status != TL_OK)
        return console.statusFailure(status);
    return kExitSuccess;
}

} // namespace talvo::keytool
