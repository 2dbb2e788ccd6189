#pragma once

#include "Output.h"
#include "platform/core/StderrReporter.h"

#include <QString>

#include <cstdint>
#include <string>

namespace talvo::keytool {

// Where a command speaks: its output on standard output, its messages on standard error in
// the operator's locale, each with the caption of the box the tool would have shown.
class Console {
public:
    explicit Console(Output::Form form);

    Output& output() { return m_output; }
    // The command's output on standard output.
    void printOutput();

    void message(const QString& text, const QString& caption = QString());
    // A line of the tool's own on standard output ("操作成功").
    void notice(const QString& text);

    // The driver's status as the tool shows it, under "错误"; the exit status for it.
    int statusFailure(int32_t status);
    // A refusal before the key was reached; the exit status for it.
    int usageFailure(const QString& text, const QString& caption = QString());

    // The exit status once everything is written: a result that standard output did not take
    // (a full disk, a closed descriptor) fails the run, said on standard error.
    int finish(int status);

private:
    void write(const std::string& bytes);

    Output m_output;
    StderrReporter m_reporter;
    int m_writeError = 0;
};

} // namespace talvo::keytool
