#include "Console.h"

#include "ExitStatus.h"
#include "device/StatusText.h"
#include "platform/LocaleText.h"

#include <cstdio>

namespace talvo::keytool {

Console::Console(Output::Form form) : m_output(form), m_reporter("talvo-key") {}

void Console::message(const QString& text, const QString& caption)
{
    std::fflush(stdout);
    m_reporter.reportError(text, caption);
}

void Console::notice(const QString& text)
{
    const std::string line = inLocaleEncoding(text) + '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

int Console::statusFailure(int32_t status)
{
    message(statusText(status), QStringLiteral("错误"));
    return kExitFailure;
}

int Console::usageFailure(const QString& text, const QString& caption)
{
    message(text, caption);
    return kExitUsage;
}

} // namespace talvo::keytool
