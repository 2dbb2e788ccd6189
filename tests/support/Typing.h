#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace talvo::testing {

// What the tests' operator does with the widgets: one set of helpers for every GUI test.

// Types the text into the widget one key event per character, as a keyboard (or an input
// method) would, so that validators and limits see every character. QTest::keyClicks
// cannot send characters outside ASCII.
void typeText(QWidget* widget, const QString& text);

// Presses the button with the template id in a template dialog or page as its click() does,
// which also reaches a hidden button; an id that names no button fails the test.
void clickButton(const QDialog& dialog, int id);

} // namespace talvo::testing
