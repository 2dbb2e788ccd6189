#include "Console.h"

#include "ExitStatus.h"
#include "device/StatusText.h"
#include "key/OperatorTexts.h"
#include "platform/core/LocaleText.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace talvo::keytool {

Console::Console(Output::Form form) : m_output(form), m_reporter("talvo-key") {}

void Console::message(const QString& text, const QString& caption)
{
    std::fflush(stdout);
    m_reporter.reportError(text, caption);
}

void Console::notice(const QString& text)
{
    write(inLocaleEncoding(text) + '\n');
}

void Console::printOutput()
{
    if (!m_output.isEmpty())
        write(m_output.render().toStdString());
}

void Console::write(const std::string& bytes)
{
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    if ((std::fflush(stdout) != 0 || std::ferror(stdout)) && m_writeError == 0)
        m_writeError = errno != 0 ? errno : EIO;
}

int Console::finish(int status)
{
    if (m_writeError == 0)
        return status;
    message(QStringLiteral("cannot write to standard output: %1")
                .arg(QString::fromLocal8Bit(std::strerror(m_writeError))));
    return kExitFailure;
}

int Console::statusFailure(int32_t status)
{
    message(statusText(status), kErrorCaption);
    return kExitFailure;
}

int Console::usageFailure(const QString& text, const QString& caption)
{
    message(text, caption);
    return kExitUsage;
}

} // namespace talvo::keytool
