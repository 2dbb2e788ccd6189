#pragma once

#include <QString>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace talvo::keytool {

enum class CommandId {
    Info,
    Set,
    Format,
    SealsList,
    SealsExport,
    SealsAdd,
    SealsDelete,
    SealsTime,
    PinChange,
    PinCheck,
    CertExport,
    CertShow,
    Verify,
    Hash,
};

// One command as the operator gave it. Arguments and option values are the bytes the shell
// passed; they are decoded where their meaning is known (a path, a name, a field).
struct Invocation {
    enum class Request { Run, Help, Version };

    Request request = Request::Run;
    CommandId command = CommandId::Info;
    // For help: empty for the program, else a group ("seals") or a command ("seals add").
    QString helpTopic;
    std::vector<std::string> arguments;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;

    bool has(const std::string& flag) const { return flags.count(flag) != 0; }
    std::optional<std::string> value(const std::string& option) const;
};

class CommandLine {
public:
    // The invocation, or nothing with the reason in error. Options may stand anywhere, as
    // "--name VALUE" or "--name=VALUE"; "--" ends them.
    static std::optional<Invocation> parse(const std::vector<std::string>& arguments, QString* error);

    // The program's usage, or that of a group or a command; empty for an unknown topic.
    static QString usage(const QString& topic = QString());
};

} // namespace talvo::keytool
