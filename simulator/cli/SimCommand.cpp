#include "SimCommand.h"

#include "FieldAssignment.h"
#include "KeyDump.h"

#include "simulator/common/SimDirectory.h"
#include "simulator/key/KeyProvisioning.h"
#include "simulator/key/KeyState.h"
#include "simulator/key/TokenProvisioning.h"

#include <charconv>
#include <limits>
#include <optional>

namespace talvo::sim {

namespace {

using Arguments = std::vector<std::string>;

std::string functionList()
{
    std::string names;
    for (const std::string_view name : kCalledFunctions)
        names += (names.empty() ? "" : " ") + std::string(name);
    return names;
}

void printHelp(std::ostream& out)
{
    out << "Usage: talvo-sim COMMAND [ARGUMENTS]\n"
           "\n"
           "Manages the simulated Talvo key that libTalvoDriver.so serves. The key lives in the state\n"
           "directory: $TALVO_SIM_DIR, else $XDG_DATA_HOME/talvo-sim (~/.local/share/talvo-sim).\n"
           "\n"
           "Commands:\n"
           "  create [--if-missing] [--empty] [--token URI [--pin-file FILE]]\n"
           "                        make a new demo key with new key pairs and certificate, replacing\n"
           "                        any key there; --if-missing keeps a key that is already there\n"
           "                        and refuses a damaged one, changing nothing;\n"
           "                        --empty leaves out the demo seals;\n"
           "                        --token puts the key on the PKCS#11 token that URI names, logging\n"
           "                        in with the PIN on the first line of FILE (a file only you may\n"
           "                        read), or on the token's PIN pad without --pin-file\n"
           "  show                  print the key's state\n"
           "  plug, unplug          plug the key in, pull it out\n"
           "  fail FUNCTION STATUS  make a driver function answer STATUS, doing nothing, until cleared\n"
           "  clear [FUNCTION]      clear the failure of FUNCTION, or every failure\n"
           "  set FIELD VALUE       change one field of the key's record (texts in UTF-8)\n"
           "  reset [--token URI [--pin-file FILE]]\n"
           "                        put the demo content back (keeps the key pairs and certificate);\n"
           "                        with --token on that token, keeping a whole key that is there\n"
           "  dir                   print the state directory\n"
           "  --help                print this text\n"
           "\n"
           "Fields: "
        << assignableFields()
        << "\n"
           "Functions: "
        << functionList() << "\n";
}

int refuse(std::ostream& err, const std::string& message)
{
    err << "talvo-sim: " << message << "\n";
    return 1;
}

int usage(std::ostream& err, const std::string& message)
{
    return refuse(err, message + " (see talvo-sim --help)");
}

int done(bool succeeded, const std::string& error, std::ostream& err)
{
    return succeeded ? 0 : refuse(err, error);
}

// Takes "--token URI" and "--pin-file FILE" at arguments[i]; false for anything else.
bool tokenOption(const Arguments& arguments, std::size_t& i, std::optional<TokenReference>& token,
                 std::string& pinFile)
{
    if ((arguments[i] != "--token" && arguments[i] != "--pin-file") || i + 1 >= arguments.size())
        return false;
    if (arguments[i] == "--token")
        token = TokenReference{arguments[i + 1], {}};
    else
        pinFile = arguments[i + 1];
    ++i;
    return true;
}

// The reference as the state directory keeps it: the PIN file's absolute name.
std::optional<std::string> completeReference(std::optional<TokenReference>& token, const std::string& pinFile)
{
    if (!token)
        return pinFile.empty() ? std::nullopt : std::optional<std::string>("--pin-file goes with --token");
    if (!pinFile.empty())
        token->pinFile = std::filesystem::absolute(pinFile).lexically_normal();
    return std::nullopt;
}

int create(const Arguments& arguments, std::ostream& out, std::ostream& err)
{
    bool ifMissing = false;
    bool empty = false;
    std::optional<TokenReference> token;
    std::string pinFile;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == "--if-missing")
            ifMissing = true;
        else if (arguments[i] == "--empty")
            empty = true;
        else if (!tokenOption(arguments, i, token, pinFile))
            return usage(err, "create: unknown option " + arguments[i]);
    }
    if (const std::optional<std::string> wrong = completeReference(token, pinFile))
        return usage(err, "create: " + *wrong);
    const std::filesystem::path directory = stateDirectory();
    const KeyContent content = empty ? KeyContent::Empty : KeyContent::Demo;
    const std::string made = empty ? "demo key without seals" : "demo key";
    std::string error;
    if (token) {
        KeyState state;
        if (ifMissing && readKeyState(directory, state, &error) == KeyStore::LoadResult::Loaded) {
            out << "A key is already there: " << directory.string() << "\n";
            return 0;
        }
        if (!provisionTokenKey(directory, *token, content,
                               ifMissing ? TokenPairs::KeepWhole : TokenPairs::New, &error))
            return refuse(err, error);
        out << "Created a " << made << " on the token " << token->uri << ", named in " << directory.string()
            << "\n";
        return 0;
    }
    if (!ifMissing) {
        if (!createKey(directory, content, {}, &error))
            return refuse(err, error);
        out << "Created a " << made << " in " << directory.string() << "\n";
        return 0;
    }
    switch (createKeyIfMissing(directory, content, &error)) {
    case CreateResult::AlreadyThere:
        out << "A key is already there: " << directory.string() << "\n";
        return 0;
    case CreateResult::Created:
        out << "Created a " << made << " in " << directory.string() << "\n";
        return 0;
    case CreateResult::CreatedKeepingPairs:
        out << "Created a " << made << " in " << directory.string()
            << " with the key pairs and certificate that were there\n";
        return 0;
    case CreateResult::Refused:
        break;
    }
    return refuse(err, error);
}

int show(std::ostream& out, std::ostream& err)
{
    const std::filesystem::path directory = stateDirectory();
    KeyState state;
    std::string error;
    switch (readKeyState(directory, state, &error)) {
    case KeyStore::LoadResult::NoKey:
        return refuse(err, error.empty() ? noKeyMessage(directory) : error);
    case KeyStore::LoadResult::Damaged:
        return refuse(err, error);
    case KeyStore::LoadResult::Loaded:
        break;
    }
    dumpKey(out, directory, state, isPlugged(directory));
    return 0;
}

bool parseStatus(const std::string& text, int32_t& status)
{
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, status);
    return !text.empty() && ec == std::errc() && ptr == end;
}

int fail(const Arguments& arguments, std::ostream& err)
{
    if (arguments.size() != 3)
        return usage(err, "fail takes a function name and a status");
    const std::string& function = arguments[1];
    int32_t status = 0;
    if (!isCalledFunction(function))
        return usage(err, "unknown function \"" + function + "\"");
    if (!parseStatus(arguments[2], status))
        return usage(err, "the status must be a 32-bit integer, not \"" + arguments[2] + "\"");
    std::string error;
    const bool changed = changeKeyState(
        stateDirectory(),
        [&](KeyState& state, std::string*) {
            state.failures[function] = status;
            return true;
        },
        &error);
    return done(changed, error, err);
}

int clear(const Arguments& arguments, std::ostream& err)
{
    if (arguments.size() > 2)
        return usage(err, "clear takes at most one function name");
    const std::string function = arguments.size() == 2 ? arguments[1] : std::string();
    if (!function.empty() && !isCalledFunction(function))
        return usage(err, "unknown function \"" + function + "\"");
    std::string error;
    const bool changed = changeKeyState(
        stateDirectory(),
        [&](KeyState& state, std::string*) {
            if (function.empty())
                state.failures.clear();
            else
                state.failures.erase(function);
            return true;
        },
        &error);
    return done(changed, error, err);
}

int set(const Arguments& arguments, std::ostream& err)
{
    if (arguments.size() != 3)
        return usage(err, "set takes a field name and a value");
    if (arguments[1] == "serial" && hasTokenReference(stateDirectory()))
        return refuse(err, "the serial number of a key on a token is the token's own");
    std::string error;
    const bool changed = changeKeyState(
        stateDirectory(),
        [&](KeyState& state, std::string* reason) {
            return assignField(state, arguments[1], arguments[2], reason);
        },
        &error);
    return done(changed, error, err);
}

int reset(const Arguments& arguments, std::ostream& out, std::ostream& err)
{
    std::optional<TokenReference> token;
    std::string pinFile;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (!tokenOption(arguments, i, token, pinFile))
            return usage(err, "reset: unknown option " + arguments[i]);
    }
    if (const std::optional<std::string> wrong = completeReference(token, pinFile))
        return usage(err, "reset: " + *wrong);
    std::string error;
    if (token ? !provisionTokenKey(stateDirectory(), *token, KeyContent::Demo, TokenPairs::KeepWhole, &error)
              : !resetKey(stateDirectory(), &error))
        return refuse(err, error);
    out << "The key in " << stateDirectory().string() << " holds the demo content again\n";
    return 0;
}

} // namespace

int runSimCommand(const Arguments& arguments, std::ostream& out, std::ostream& err)
{
    if (arguments.empty())
        return usage(err, "no command given");
    const std::string& command = arguments.front();
    const bool bare = arguments.size() == 1;
    std::string error;
    if (command == "--help" || command == "-h" || command == "help") {
        printHelp(out);
        return 0;
    }
    if (command == "create")
        return create(arguments, out, err);
    if (command == "fail")
        return fail(arguments, err);
    if (command == "clear")
        return clear(arguments, err);
    if (command == "set")
        return set(arguments, err);
    if (command == "reset")
        return reset(arguments, out, err);
    if (!bare && (command == "show" || command == "plug" || command == "unplug" || command == "dir"))
        return usage(err, command + " takes no arguments");
    if (command == "show")
        return show(out, err);
    if (command == "plug" || command == "unplug")
        return done(setPlugged(stateDirectory(), command == "plug", &error), error, err);
    if (command == "dir") {
        out << stateDirectory().string() << "\n";
        return 0;
    }
    return usage(err, "unknown command \"" + command + "\"");
}

} // namespace talvo::sim
