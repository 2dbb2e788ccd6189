#include "KeyTool.h"

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
#include "platform/LocaleText.h"

#include <QFile>

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

void print(std::FILE* stream, const QString& text)
{
    const std::string bytes = inLocaleEncoding(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
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
    if (invocation->request == Invocation::Request::Version) {
        print(stdout, QStringLiteral("talvo-key " TALVO_VERSION "\n"));
        return kExitSuccess;
    }
    if (invocation->request == Invocation::Request::Help) {
        print(stdout, CommandLine::usage(invocation->helpTopic));
        return kExitSuccess;
    }

    Console console(invocation->has("--json") ? Output::Form::Json : Output::Form::Text);
    const std::unique_ptr<KeyCommand> command = makeCommand(*invocation);
    if (const int checked = command->check(console); checked != kExitSuccess)
        return checked;

    TerminalPrompt terminal;
    std::optional<QString> passwordFile;
    if (const std::optional<std::string> path = invocation->value("--password-file"))
        passwordFile = QFile::decodeName(QByteArray::fromStdString(*path));
    if (const int admitted = PasswordGate::admit(passwordFile, terminal, console); admitted != kExitSuccess)
        return admitted;
    if (const int answered = command->ask(terminal, console); answered != kExitSuccess)
        return answered;

    // The driver is loaded here and nowhere earlier: a refused command never reaches it.
    KeyDriverBinding binding;
    const int status = command->run(binding, console);
    console.output().print();
    return status;
}

} // namespace talvo::keytool
