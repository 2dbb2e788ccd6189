#include "StderrReporter.h"

#include "LocaleText.h"
#include "VisibleText.h"

#include <cstdio>

namespace talvo {

StderrReporter::StderrReporter(std::string programName) : m_programName(std::move(programName)) {}

void StderrReporter::reportError(const QString& text, const QString& caption)
{
    const QString line = caption.isEmpty() ? text : caption + QStringLiteral(": ") + text;
    std::fprintf(stderr, "%s: %s\n", m_programName.c_str(),
                 inLocaleEncoding(visibleText(line.trimmed())).c_str());
}

} // namespace talvo
