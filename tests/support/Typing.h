#pragma once

#include <QString>

class QWidget;

namespace talvo::testing {

// Types the text into the widget one key event per character, as a keyboard (or an input
// method) would, so that validators and limits see every character. QTest::keyClicks
// cannot send characters outside ASCII.
void typeText(QWidget* widget, const QString& text);

} // namespace talvo::testing
