#pragma once

#include <QString>

#include <string>

namespace talvo {

// The text as the terminal shows it: the locale's character set when it is neither UTF-8 nor
// plain ASCII and can hold the text, else UTF-8.
std::string inLocaleEncoding(const QString& text);

} // namespace talvo
