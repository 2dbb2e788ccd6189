#include "DeviceCommands.h"

#include "Console.h"
#include "ExitStatus.h"
#include "TerminalPrompt.h"
#include "device/CspName.h"
#include "device/DriverConventions.h"
#include "device/KeyDriverBinding.h"
#include "key/BaseRecord.h"
#include "key/DeviceInfoFields.h"
#include "key/PinOperations.h"
#include "platform/core/Cp936Codec.h"

namespace talvo::keytool {

namespace {

const QString kAbsentText = QStringLiteral("设备不存在");
const QString kNoticeCaption = QStringLiteral("提示");

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
    const QString question = m_command == CommandId::Set ? QStringLiteral("确定对信息进行设置吗?")
                                                         : QStringLiteral("你确定对设备进行初始化操作吗？");
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
        console.message(kAbsentText, kNoticeCaption);
        return kExitFailure;
    }
    KeyBaseInfo base{};
    if (const int32_t status = readBaseInformation(binding, base); status != TL_OK)
        return console.statusFailure(status);
    char serial[kSerialBufferSize] = {};
    if (binding.TLKeyReadSerial(serial, kDeviceSelector) != TL_OK) {
        console.message(QStringLiteral("没有获取到设备信息!"), kNoticeCaption);
        return kExitFailure;
    }
    const QString cspName = cspNameText(binding.TLKeyReadCspName());

    const DeviceInfoView view = viewFromRecord(base);
    output.add(QStringLiteral("serial"), fromCp936(serial, sizeof serial));
    output.add(QStringLiteral("mode"), view.mode);
    output.add(QStringLiteral("pinHash"), view.pinHash);
    output.add(QStringLiteral("unitId"), view.unitId);
    output.add(QStringLiteral("userId"), view.userId);
    output.add(QStringLiteral("errorTimes"), view.errorTimes.toLongLong());
    output.add(QStringLiteral("sealCount"), view.sealCount.toLongLong());
    output.add(QStringLiteral("factoryFlag"), shownFlag(view.factory));
    output.add(QStringLiteral("formatFlag"), shownFlag(view.format));
    output.add(QStringLiteral("initFlag"), shownFlag(view.init));
    output.add(QStringLiteral("lockFlag"), shownFlag(view.lock));
    output.add(QStringLiteral("timeControlFlag"), shownFlag(view.timeControl));
    output.add(QStringLiteral("keyRole"), shownFlag(view.keyRole));
    output.add(QStringLiteral("cspName"), cspName);
    return kExitSuccess;
}

int DeviceCommands::runSet(KeyDriverBinding& binding, Console& console)
{
    if (!keyPresent(binding)) {
        console.message(kAbsentText, kNoticeCaption);
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
    console.notice(QStringLiteral("操作成功"));
    return kExitSuccess;
}

int DeviceCommands::runFormat(KeyDriverBinding& binding, Console& console)
{
    char hash[kCalcHashBufferSize] = {};
    if (!keyPresent(binding)) {
        console.message(kAbsentText, kNoticeCaption);
        return kExitFailure;
    }
    // Asked for as the page asks for it; only the low format reaches the key.
    hashFixedPin(binding, hash);
    const int32_t status = binding.TLKeyLowFormat();
    if (status != TL_OK)
        return console.statusFailure(status);
    return kExitSuccess;
}

} // namespace talvo::keytool
