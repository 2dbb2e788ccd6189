#include "KeyTool.h"

#include "ChangeLock.h"
#include "CommandLine.h"
#include "Console.h"
#include "CspCommands.h"
#include "DeviceCommands.h"
#include "ExitStatus.h"
#include "PasswordGate.h"
#include "PinCommands.h"
#include "SealCommands.h"
#include "TerminalPrompt.h"
#include "device/KeyDriverBinding.h"
#include "platform/core/LocaleText.h"
#include "platform/core/NativePath.h"

#include <cstdio>
#include <memory>

namespace talvo::keytool {

namespace {

std::unique_ptr<KeyCommand> makeCommand(const Invocation& invocation)
{
    switch (invocation.command) {
    case CommandId::Info:
    case CommandId::Set:
    case CommandId::Format:
        return std::make_unique<DeviceCommands>(invocation);
    case CommandId::SealsList:
    case CommandId::SealsExport:
    case CommandId::SealsAdd:
    case CommandId::SealsDelete:
    case CommandId::SealsTime:
        return std::make_unique<SealCommands>(invocation);
    case CommandId::PinChange:
    case CommandId::PinCheck:
        return std::make_unique<PinCommands>(invocation);
    case CommandId::CertExport:
    case CommandId::CertShow:
    case CommandId::Verify:
    case CommandId::Hash:
        break;
    }
    return std::make_unique<CspCommands>(invocation);
}

// False when the stream did not take the text.
bool print(std::FILE* stream, const QString& text)
{
    const std::string bytes = inLocaleEncoding(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    return std::fflush(stream) == 0 && std::ferror(stream) == 0;
}

// The commands that change the key: two of them must not interleave a read of the key and the
// write built on it.
bool changesKey(CommandId command)
{
    switch (command) {
    case CommandId::Set:
    case CommandId::Format:
    case CommandId::SealsAdd:
    case CommandId::SealsDelete:
    case CommandId::SealsTime:
    case CommandId::PinChange:
        return true;
    default:
        return false;
    }
}

} // namespace

int KeyTool::run(const std::vector<std::string>& arguments)
{
    QString error;
    const std::optional<Invocation> invocation = CommandLine::parse(arguments, &error);
    if (!invocation) {
        print(stderr, QStringLiteral("talvo-key: %1\nTry 'talvo-key --help'.\n").arg(error));
        return kExitUsage;
    }
    if (invocation->request != Invocation::Request::Run) {
        const QString text = invocation->request == Invocation::Request::Version
                                 ? QStringLiteral("talvo-key " TALVO_VERSION "\n")
                                 : CommandLine::usage(invocation->helpTopic);
        if (print(stdout, text))
            return kExitSuccess;
        print(stderr, QStringLiteral("talvo-key: cannot write to standard output\n"));
        return kExitFailure;
    }

    Console console(invocation->has("--json") ? Output::Form::Json : Output::Form::Text);
    const std::unique_ptr<KeyCommand> command = makeCommand(*invocation);
    if (const int checked = command->check(console); checked != kExitSuccess)
        return checked;

    TerminalPrompt terminal;
    std::optional<QString> passwordFile;
    if (const std::optional<std::string> path = invocation->value("--password-file"))
        passwordFile = decodeNativePath(*path);
    if (const int admitted = PasswordGate::admit(passwordFile, terminal, console); admitted != kExitSuccess)
        return admitted;
    if (const int answered = command->ask(terminal, console); answered != kExitSuccess)
        return answered;
    if (const int prepared = command->prepare(console); prepared != kExitSuccess)
        return prepared;

    ChangeLock lock;
    if (QString busy; changesKey(invocation->command) && !lock.acquire(&busy)) {
        console.message(busy);
        return kExitFailure;
    }
    // The driver is loaded here and nowhere earlier: a refused command never reaches it.
    KeyDriverBinding binding;
    const int status = command->run(binding, console);
    console.printOutput();
    return console.finish(status);
}

} // namespace talvo::keytool
