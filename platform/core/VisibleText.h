#pragma once

#include <QString>

namespace talvo {

// The text with every control character and every character that reorders text on screen
// (bidirectional marks, embeddings, overrides and isolates) written as a visible escape: "\n",
// "\t", "\r", "\x1B", "\u202E". A text from a key, a certificate or a file name then cannot
// forge lines, colour a terminal or turn what follows it around. A byte of a file name that
// is no UTF-8 (see NativePath.h) shows as "\xFF". Everything else stays as it is.
QString visibleText(const QString& text);

} // namespace talvo
