#pragma once

#include "support/Cp936.h"
#include "support/ScopedTimeZone.h"

class QCalendarWidget;

namespace talvo::testing {

// Clicks the day (one that the page shows once, 10 to 20) of the calendar's shown month
// through its window, as an operator would, then presses Enter there.
void clickDayThenEnter(QCalendarWidget* calendar, int day);

} // namespace talvo::testing
