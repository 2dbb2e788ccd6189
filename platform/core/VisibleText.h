#pragma once

#include <QString>

namespace talvo {

// The text with every control character and every character that reorders text on screen
// (bidirectional marks, embeddings, overrides and isolates) written as a visible escape: "\n",
// "\t", "\r", "\x1B", "\u202E". A text from a key, a certificate or a file name then cannot
// forge lines, colour a terminal or turn what follows it around. A byte of a file name that
// is no UTF-8 (see NativePath.h) shows as "\xFF". A backslash is written "\\" where it is
// escaped, so that no text can pass for an escape. Everything else stays as it is.
enum class Backslash { AsIs, Escaped };
QString visibleText(const QString& text, Backslash backslash = Backslash::AsIs);

} // namespace talvo
