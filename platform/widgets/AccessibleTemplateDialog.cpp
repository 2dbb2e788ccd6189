#include "AccessibleTemplateDialog.h"

#include "TemplateDialog.h"

#include <QWindow>

namespace talvo {

AccessibleTemplateDialog::AccessibleTemplateDialog(TemplateDialog* dialog)
    : QAccessibleWidget(dialog,
                        dialog->sourceTemplate().child ? QAccessible::PropertyPage : QAccessible::Dialog)
{
}

QAccessible::State AccessibleTemplateDialog::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    if (widget()->isWindow()) {
        const QWindow* handle = widget()->windowHandle();
        if (!handle || !handle->isVisible())
            state.invisible = true;
    }
    return state;
}

} // namespace talvo
