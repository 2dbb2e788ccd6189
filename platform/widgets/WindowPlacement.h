#pragma once

class QWidget;

namespace talvo {

// Centres a window that is about to be shown on its owner's window (on the screen, without an
// owner) and keeps it whole on that screen's free area, as Qt places a dialog. A window that is
// no dialog is otherwise left to the window manager, which may put it anywhere.
void centreOnOwner(QWidget& window, const QWidget* owner);

} // namespace talvo
