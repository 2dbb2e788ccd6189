#pragma once

#include <QString>

namespace talvo {

// Where code without windows sends the failures an operator must see: a page shows them as
// boxes, a command-line program prints them.
class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    virtual void reportError(const QString& text, const QString& caption) = 0;
};

} // namespace talvo
