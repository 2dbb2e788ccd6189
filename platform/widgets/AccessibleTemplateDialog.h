#pragma once

#include <QAccessibleWidget>

namespace talvo {

class TemplateDialog;

// A template window as a screen reader meets it: a dialog, or a property page where it is a
// page inside another window. A window counts as showing only once it is on the screen: the
// main window asks for the password in the middle of being shown, and Qt would report it
// showing behind the login.
class AccessibleTemplateDialog : public QAccessibleWidget {
public:
    explicit AccessibleTemplateDialog(TemplateDialog* dialog);

    QAccessible::State state() const override;
};

} // namespace talvo
