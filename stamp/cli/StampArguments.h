#pragma once

#include "pdf/DocumentSealing.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace talvo::stamp {

// One run of talvo-stamp-cli as the key holder gave it. Paths and texts are the bytes the
// shell passed.
struct StampArguments {
    enum class Request { Stamp, ListSeals, Help, Version };

    Request request = Request::Stamp;
    bool json = false;
    int32_t sealNumber = 0;
    pdf::SealPlacement placement;
    std::string reason;
    std::optional<std::string> pinFile;
    std::string input;
    std::string output;
};

// The run, or nothing with the reason in error. Options take their value as "--name VALUE" or
// "--name=VALUE"; "--" ends them.
std::optional<StampArguments> parseStampArguments(const std::vector<std::string>& arguments, QString& error);

QString stampUsage();

} // namespace talvo::stamp
