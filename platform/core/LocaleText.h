#pragma once

#include <QString>

#include <string>

namespace talvo {

// The text as the terminal shows it: the locale's character set when it is neither UTF-8 nor
// plain ASCII and can hold the text, else UTF-8.
std::string inLocaleEncoding(const QString& text);

// What the terminal typed or the shell passed, in the locale's character set, as text. Bytes
// that the character set does not hold are read as UTF-8, then as replacement characters.
QString fromLocaleEncoding(const std::string& bytes);

} // namespace talvo
