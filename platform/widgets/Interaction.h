#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <optional>

class QDialog;

namespace talvo {

enum class BoxIcon { None, Information, Warning, Error };
enum class BoxButtons { Ok, YesNo };
enum class BoxResult { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

// A message box as it is shown: the caption and icon rules are already applied.
struct MessageBoxRequest {
    QPointer<QWidget> owner;
    QString text;
    QString caption;
    BoxIcon icon = BoxIcon::None;
    BoxButtons buttons = BoxButtons::Ok;
    BoxResult defaultButton = BoxResult::Ok;
};

struct FileDialogRequest {
    QPointer<QWidget> owner;
    bool open = true;
    QString defaultExtension;
    QString initialFileName;
    // Windows form: "desc|pattern;pattern|desc|pattern||".
    QString filter;
};

// Every modal thing a handler opens goes through here, so tests can script the answers.
class Interaction {
public:
    virtual ~Interaction() = default;
    virtual BoxResult messageBox(const MessageBoxRequest& request) = 0;
    // The chosen full path, or nothing when the operator cancelled.
    virtual std::optional<QString> fileDialog(const FileDialogRequest& request) = 0;
    // Runs the dialog modally and returns the code it ended with.
    virtual int runModal(QDialog& dialog) = 0;
    // The shell's "open" action on a file; true when it was handed over (a viewer may still
    // be on its way).
    virtual bool shellOpen(const QString& path) = 0;
};

Interaction& interaction();
// Installs an implementation (not owned); null restores the Qt one.
void setInteraction(Interaction* implementation);
// The installed implementation, or null while the Qt one serves.
Interaction* installedInteraction();

// The application's main window, owner of application message boxes.
void setMainWindow(QWidget* window);
QWidget* mainWindow();

// The executable's file name without its extension.
QString applicationName();

// A window's own box: the given caption, else the application's name; an icon only when given.
BoxResult windowMessageBox(QWidget* owner, const QString& text, const QString& caption = {},
                           BoxIcon icon = BoxIcon::None, BoxButtons buttons = BoxButtons::Ok,
                           BoxResult defaultButton = BoxResult::Ok);

// An application box: owned by the main window, captioned with the application's name; one
// given no icon shows the warning icon.
BoxResult applicationMessageBox(const QString& text, BoxButtons buttons = BoxButtons::Ok,
                                BoxIcon icon = BoxIcon::None, BoxResult defaultButton = BoxResult::Ok);

// The file dialog, with the path it hands back matched to the very file the operator chose: Qt
// shows a name that is no UTF-8 with U+FFFD, which would open another file or none. A name
// that stands for several files is refused with an error box to the request's owner, and
// counts as a cancelled dialog.
std::optional<QString> chooseFile(const FileDialogRequest& request);

// Converts "desc|pattern;pattern|...||" into Qt's name filters.
QStringList nameFiltersFromWindowsFilter(const QString& filter);

} // namespace talvo
