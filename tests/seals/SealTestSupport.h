#pragma once

#include "support/Cp936.h"

#include <string>

class QCalendarWidget;

namespace talvo::testing {

// Clicks the day (one that the page shows once, 10 to 20) of the calendar's shown month
// through its window, as an operator would, then presses Enter there.
void clickDayThenEnter(QCalendarWidget* calendar, int day);

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
