#pragma once

#include <QString>

#include <string>

class QWidget;

namespace talvo::testing {

// Types the text into the widget one character at a time, as key presses that carry the
// character (QTest's own helper only types Latin-1).
void typeText(QWidget* widget, const QString& text);

// The text as the key would hold it.
std::string cp936(const QString& text);

// Sets TZ for its lifetime and makes the C library take it up.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone);
    ~ScopedTimeZone();
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::string m_previous;
    bool m_hadValue;
};

} // namespace talvo::testing
