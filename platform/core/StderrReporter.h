#pragma once

#include "ErrorReporter.h"

#include <string>

namespace talvo {

// A failure becomes one line on standard error, "program: caption: text", in the operator's
// locale; control characters in it (from a file name, say) show escaped and never break it.
class StderrReporter : public ErrorReporter {
public:
    explicit StderrReporter(std::string programName);

    void reportError(const QString& text, const QString& caption) override;

private:
    std::string m_programName;
};

} // namespace talvo
