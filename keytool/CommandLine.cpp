#include "CommandLine.h"

#include "platform/core/LocaleText.h"

#include <array>

namespace talvo::keytool {

namespace {

struct CommandForm {
    CommandId id;
    const char* words;
    const char* synopsis;
    int minArguments;
    int maxArguments; // -1: any number
    std::vector<std::string> options;
    const char* description;
};

const std::vector<CommandForm>& commandForms()
{
    static const std::vector<CommandForm> forms = {
        {CommandId::Info,
         "info",
         "[--json]",
         0,
         0,
         {"--json"},
         "presence, serial number, base information and CSP name, as the device information\n"
         "page shows them"},
        {CommandId::Set,
         "set",
         "[--yes] FIELD=VALUE...",
         1,
         -1,
         {"--yes"},
         "reads the key, changes the fields given as \"设置信息\" would and writes every other\n"
         "byte back as it was read; fields: mode pinHash unitId userId errorTimes factoryFlag\n"
         "formatFlag initFlag lockFlag"},
        {CommandId::Format, "format", "[--yes]", 0, 0, {"--yes"}, "low-formats the key, as \"初始化\" does"},
        {CommandId::SealsList,
         "seals list",
         "[--json]",
         0,
         0,
         {"--json"},
         "the seals on the key: number, name, expiry time and initialisation time"},
        {CommandId::SealsExport,
         "seals export",
         "NUMBER FILE",
         2,
         2,
         {},
         "writes the picture of seal NUMBER (101-110) to FILE"},
        {CommandId::SealsAdd,
         "seals add",
         "--name NAME --expiry YYYY-MM-DD FILE",
         1,
         1,
         {"--name", "--expiry"},
         "adds a seal with the picture in FILE, expiring at the local midnight that starts the day"},
        {CommandId::SealsDelete, "seals delete", "NUMBER", 1, 1, {}, "deletes seal NUMBER"},
        {CommandId::SealsTime,
         "seals time",
         "NUMBER YYYY-MM-DD",
         2,
         2,
         {},
         "writes the local midnight that starts the day as the time of seal NUMBER"},
        {CommandId::PinChange,
         "pin change",
         "[--pin-file FILE]",
         0,
         0,
         {"--pin-file"},
         "changes the key's PIN; asks the old PIN, the new PIN and its confirmation, or reads\n"
         "them from the first three lines of FILE"},
        {CommandId::PinCheck,
         "pin check",
         "[--pin-file FILE]",
         0,
         0,
         {"--pin-file"},
         "checks a PIN against the key (\"ok\" or \"error\"); asks it, or reads the first line of FILE"},
        {CommandId::CertExport, "cert export", "FILE", 1, 1, {}, "writes the key's certificate to FILE"},
        {CommandId::CertShow,
         "cert show",
         "[--json]",
         0,
         0,
         {"--json"},
         "the key's certificate: subject, issuer, serial number, validity, key and fingerprints"},
        {CommandId::Verify,
         "verify",
         "[--json]",
         0,
         0,
         {"--json"},
         "checks that the key's signature verifies with its public key (\"OK\" or \"Failed\")"},
        {CommandId::Hash,
         "hash",
         "[--json] [--pin-file FILE]",
         0,
         0,
         {"--json", "--pin-file"},
         "the key's hash of a PIN (its first six bytes); asks it, or reads the first line of FILE"},
    };
    return forms;
}

const std::array<std::string, 4> kValueOptions = {"--password-file", "--pin-file", "--name", "--expiry"};
const std::array<std::string, 4> kFlagOptions = {"--json", "--yes", "--help", "--version"};
const std::array<const char*, 3> kGroups = {"seals", "pin", "cert"};

template <class Container> bool contains(const Container& container, const std::string& item)
{
    for (const auto& entry : container) {
        if (item == entry)
            return true;
    }
    return false;
}

QString text(const std::string& bytes)
{
    return fromLocaleEncoding(bytes);
}

const CommandForm* findSpec(const QString& words)
{
    for (const CommandForm& form : commandForms()) {
        if (words == QLatin1String(form.words))
            return &form;
    }
    return nullptr;
}

QString synopsisLine(const CommandForm& form)
{
    return QStringLiteral("  talvo-key %1 %2\n").arg(QLatin1String(form.words), QLatin1String(form.synopsis));
}

QString describe(const CommandForm& form)
{
    QString description = QString::fromUtf8(form.description);
    description.replace(QLatin1Char('\n'), QStringLiteral("\n      "));
    return synopsisLine(form) + QStringLiteral("      ") + description + QLatin1Char('\n');
}

const char* const kCommonText =
    "\n"
    "Every command but --help and --version asks the tool's password on the terminal, without\n"
    "echo, or reads it from the first line of --password-file FILE; the driver is loaded only\n"
    "after the password is right. Output goes to standard output, messages to standard error.\n"
    "Exit status: 0 done, 1 the key or the driver failed, 2 bad usage, a wrong password or no\n"
    "confirmation (nothing was changed).\n";

} // namespace

std::optional<std::string> Invocation::value(const std::string& option) const
{
    const auto found = values.find(option);
    if (found == values.end())
        return std::nullopt;
    return found->second;
}

std::optional<Invocation> CommandLine::parse(const std::vector<std::string>& arguments, QString* error)
{
    Invocation invocation;
    std::vector<std::string> words;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& token = arguments[i];
        if (optionsEnded || token == "-" || token.empty() || token[0] != '-') {
            words.push_back(token);
            continue;
        }
        if (token == "--") {
            optionsEnded = true;
            continue;
        }
        const std::string name = token == "-h" ? "--help" : token.substr(0, token.find('='));
        const bool inlineValue = token.find('=') != std::string::npos;
        if (contains(kValueOptions, name)) {
            std::string value;
            if (inlineValue) {
                value = token.substr(token.find('=') + 1);
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            } else {
                *error = QStringLiteral("%1 needs a value").arg(text(name));
                return std::nullopt;
            }
            if (!invocation.values.emplace(name, value).second) {
                *error = QStringLiteral("%1 given twice").arg(text(name));
                return std::nullopt;
            }
        } else if (contains(kFlagOptions, name) && !inlineValue) {
            invocation.flags.insert(name);
        } else {
            *error = QStringLiteral("unknown option %1").arg(text(token));
            return std::nullopt;
        }
    }

    const bool help = invocation.has("--help");
    if (words.empty()) {
        if (help || invocation.has("--version")) {
            invocation.request = help ? Invocation::Request::Help : Invocation::Request::Version;
            return invocation;
        }
        *error = QStringLiteral("no command given");
        return std::nullopt;
    }
    QString commandWords = text(words[0]);
    std::size_t used = 1;
    if (contains(kGroups, words[0])) {
        if (words.size() < 2) {
            if (help) {
                invocation.request = Invocation::Request::Help;
                invocation.helpTopic = commandWords;
                return invocation;
            }
            *error = QStringLiteral("%1: which command? (talvo-key %1 --help)").arg(commandWords);
            return std::nullopt;
        }
        commandWords += QLatin1Char(' ') + text(words[1]);
        used = 2;
    }
    const CommandForm* form = findSpec(commandWords);
    if (!form) {
        *error = QStringLiteral("unknown command '%1'").arg(commandWords);
        return std::nullopt;
    }
    if (help) {
        invocation.request = Invocation::Request::Help;
        invocation.helpTopic = commandWords;
        return invocation;
    }
    invocation.command = form->id;
    for (const auto& [name, value] : invocation.values) {
        if (name != "--password-file" && !contains(form->options, name)) {
            *error = QStringLiteral("%1 does not take %2").arg(commandWords, text(name));
            return std::nullopt;
        }
    }
    for (const std::string& flag : invocation.flags) {
        if (!contains(form->options, flag)) {
            *error = QStringLiteral("%1 does not take %2").arg(commandWords, text(flag));
            return std::nullopt;
        }
    }
    invocation.arguments.assign(words.begin() + static_cast<std::ptrdiff_t>(used), words.end());
    const auto count = static_cast<int>(invocation.arguments.size());
    if (count < form->minArguments || (form->maxArguments >= 0 && count > form->maxArguments)) {
        *error = QStringLiteral("usage: talvo-key %1 %2")
                     .arg(QLatin1String(form->words), QLatin1String(form->synopsis));
        return std::nullopt;
    }
    return invocation;
}

QString CommandLine::usage(const QString& topic)
{
    if (const CommandForm* form = topic.isEmpty() ? nullptr : findSpec(topic))
        return QStringLiteral("Usage:\n") + describe(*form) + QString::fromUtf8(kCommonText);
    QString lines;
    for (const CommandForm& form : commandForms()) {
        if (topic.isEmpty() || QString::fromLatin1(form.words).startsWith(topic + QLatin1Char(' ')))
            lines += describe(form);
    }
    if (lines.isEmpty())
        return QString();
    QString head =
        QStringLiteral("Usage: talvo-key [--password-file FILE] COMMAND [ARGUMENTS]\n"
                       "       talvo-key [COMMAND] --help | --version\n"
                       "\n"
                       "The Talvo key's maintenance from the command line, over the tool's driver binding.\n"
                       "\n"
                       "Commands:\n");
    if (!topic.isEmpty())
        head = QStringLiteral("Usage:\n");
    return head + lines + QString::fromUtf8(kCommonText);
}

} // namespace talvo::keytool
