#pragma once

#include <QFont>
#include <QRect>

namespace talvo {

// The Windows dialog base units of a font: horizontal = average width of A-Z a-z,
// vertical = the font's height. One dialog unit is a quarter (x) or an eighth (y) of them.
struct DialogBaseUnits {
    int x = 0;
    int y = 0;
};

// The dialog font: the template's face at its point size, laid out as at 96 dots per inch so
// that geometry does not depend on the screen. Faces the machine lacks fall back to Noto CJK.
QFont dialogFont(const char* face, int pointSize);

DialogBaseUnits dialogBaseUnits(const QFont& font);

// MulDiv with rounding, as MapDialogRect does it.
int dialogUnitsToPixels(int units, int baseUnit, int divisor);

QRect dialogRectToPixels(const DialogBaseUnits& base, int x, int y, int width, int height);

} // namespace talvo
