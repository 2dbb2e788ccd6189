#include "WindowPlacement.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace talvo {

void centreOnOwner(QWidget& window, const QWidget* owner)
{
    const QWidget* ownerWindow = owner ? owner->window() : nullptr;
    QScreen* screen = ownerWindow ? ownerWindow->screen() : window.screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    // Before it is shown the window has no frame yet; the window manager will give it one
    // like its owner's.
    QMargins frame;
    if (ownerWindow) {
        const QRect outer = ownerWindow->frameGeometry();
        const QRect inner = ownerWindow->geometry();
        frame = QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
    }
    const QSize size = window.size().grownBy(frame);
    const QPoint centre = ownerWindow ? ownerWindow->frameGeometry().center() : area.center();
    const int x = std::clamp(centre.x() - size.width() / 2, area.left(),
                             std::max(area.left(), area.right() + 1 - size.width()));
    const int y = std::clamp(centre.y() - size.height() / 2, area.top(),
                             std::max(area.top(), area.bottom() + 1 - size.height()));
    window.move(x, y);
}

} // namespace talvo
