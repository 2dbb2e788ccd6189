#pragma once

#include "StampArguments.h"

#include "platform/core/StderrReporter.h"

#include <QString>

#include <string>
#include <vector>

namespace talvo {
class KeyDriverBinding;
}

namespace talvo::stamp {

// talvo-stamp-cli: the key holder seals a PDF with a seal of the key, or lists the seals.
// 0 when done; 1 when the key, the document or the signing failed; 2 when refused before the
// key was reached (bad usage, an unusable PIN file).
class StampTool {
public:
    StampTool();
    int run(const std::vector<std::string>& arguments);

private:
    int listSeals(KeyDriverBinding& binding, bool json);
    int stamp(KeyDriverBinding& binding, const StampArguments& arguments);
    // The PIN from the file or the terminal; nothing when refused (said already).
    std::optional<std::string> holderPin(const StampArguments& arguments);
    int fail(const QString& text, int status);

    StderrReporter m_reporter;
};

} // namespace talvo::stamp
