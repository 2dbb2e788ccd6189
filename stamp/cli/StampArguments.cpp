#include "StampArguments.h"

#include "platform/core/LocaleText.h"

#include <cmath>
#include <cstdlib>
#include <map>

namespace talvo::stamp {

namespace {

const char* const kValueOptions[] = {"--seal", "--page", "--at", "--width", "--reason", "--pin-file"};

bool takesValue(const std::string& option)
{
    for (const char* known : kValueOptions) {
        if (option == known)
            return true;
    }
    return false;
}

std::optional<double> number(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<long> whole(const std::string& text)
{
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0')
        return std::nullopt;
    return value;
}

QString shown(const std::string& bytes)
{
    return fromLocaleEncoding(bytes);
}

} // namespace

QString stampUsage()
{
    return QStringLiteral(
        "usage: talvo-stamp-cli --seal NUMBER --page N --at X,Y [--width MM] [--reason TEXT]\n"
        "                       [--pin-file FILE] INPUT.pdf OUTPUT.pdf\n"
        "       talvo-stamp-cli seals [--json]\n"
        "X,Y: the seal's centre in millimetres from the page's top-left corner; width 40 mm unless given.\n");
}

std::optional<StampArguments> parseStampArguments(const std::vector<std::string>& arguments, QString& error)
{
    StampArguments result;
    std::map<std::string, std::string> values;
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument.compare(0, 2, "--") != 0) {
            operands.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help" || argument == "--version") {
            result.request =
                argument == "--help" ? StampArguments::Request::Help : StampArguments::Request::Version;
            return result;
        }
        if (argument == "--json") {
            result.json = true;
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string option = argument.substr(0, equals);
        if (!takesValue(option)) {
            error = QStringLiteral("unknown option %1").arg(shown(option));
            return std::nullopt;
        }
        if (equals != std::string::npos) {
            values[option] = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            values[option] = arguments[++i];
        } else {
            error = QStringLiteral("%1 needs a value").arg(shown(option));
            return std::nullopt;
        }
    }

    if (!operands.empty() && operands.front() == "seals") {
        if (operands.size() != 1 || !values.empty()) {
            error = QStringLiteral("seals takes only --json");
            return std::nullopt;
        }
        result.request = StampArguments::Request::ListSeals;
        return result;
    }
    if (operands.size() != 2) {
        error = QStringLiteral("give INPUT.pdf and OUTPUT.pdf");
        return std::nullopt;
    }
    if (result.json) {
        error = QStringLiteral("--json belongs to seals");
        return std::nullopt;
    }
    for (const char* required : {"--seal", "--page", "--at"}) {
        if (values.count(required) == 0) {
            error = QStringLiteral("%1 is required").arg(QLatin1String(required));
            return std::nullopt;
        }
    }
    const std::optional<long> seal = whole(values["--seal"]);
    if (!seal || *seal <= 0) {
        error = QStringLiteral("--seal: '%1' is no seal number").arg(shown(values["--seal"]));
        return std::nullopt;
    }
    const std::optional<long> page = whole(values["--page"]);
    if (!page) {
        error = QStringLiteral("--page: '%1' is no page number").arg(shown(values["--page"]));
        return std::nullopt;
    }
    const std::string& at = values["--at"];
    const std::size_t comma = at.find(',');
    const std::optional<double> x = comma == std::string::npos ? std::nullopt : number(at.substr(0, comma));
    const std::optional<double> y = comma == std::string::npos ? std::nullopt : number(at.substr(comma + 1));
    if (!x || !y) {
        error = QStringLiteral("--at: '%1' is not X,Y in millimetres").arg(shown(at));
        return std::nullopt;
    }
    double width = 40;
    if (values.count("--width") != 0) {
        const std::optional<double> given = number(values["--width"]);
        if (!given || *given <= 0 || *given > 1000) {
            error = QStringLiteral("--width: '%1' is no width in millimetres").arg(shown(values["--width"]));
            return std::nullopt;
        }
        width = *given;
    }
    result.sealNumber = static_cast<int32_t>(*seal);
    result.placement = {static_cast<int>(*page), *x, *y, width};
    if (values.count("--reason") != 0)
        result.reason = fromLocaleEncoding(values["--reason"]).toStdString();
    if (values.count("--pin-file") != 0)
        result.pinFile = values["--pin-file"];
    result.input = operands[0];
    result.output = operands[1];
    return result;
}

} // namespace talvo::stamp
