#pragma once

#include <vector>

namespace talvo {

enum class ControlKind {
    Static,
    GroupBox,
    Edit,
    PasswordEdit,
    MultiLineEdit,
    PushButton,
    DefaultPushButton,
    CheckBox,
    DropDownList,
    TabControl,
    MonthCalendar,
};

enum ControlStyle : unsigned {
    StyleNone = 0,
    StyleHidden = 1u << 0,
    StyleFlat = 1u << 1,
    StyleVerticalScroll = 1u << 2,
    StyleSort = 1u << 3,
    StyleWantReturn = 1u << 4,
    // Tab moves the focus to controls with this style and to every push button and tab strip;
    // the others take it on a click.
    StyleTabStop = 1u << 5,
};

inline constexpr int kNoControlId = -1;

// The standard buttons; a dialog they close returns their id.
enum StandardControlId : int { IDOK = 1, IDCANCEL = 2 };

// One control of a dialog template. Texts are UTF-8; the rectangle is in dialog units.
struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text;
    int x;
    int y;
    int width;
    int height;
    unsigned styles = StyleNone;
};

// A dialog as the original's resource script held it; controls are in tab order.
struct DialogTemplate {
    int id;
    const char* caption;
    const char* fontFace;
    int pointSize;
    int width;
    int height;
    bool child;
    std::vector<ControlTemplate> controls;
};

} // namespace talvo
