#include "AccessibleInterfaces.h"

#include "AccessibleDropDownList.h"
#include "AccessibleTemplateDialog.h"
#include "DropDownList.h"
#include "TemplateDialog.h"

namespace talvo {

namespace {

// Qt asks for the most derived class first, so ours answer before Qt's own for their bases.
QAccessibleInterface* templateControlInterface(const QString& className, QObject* object)
{
    Q_UNUSED(className);
    if (auto* list = qobject_cast<DropDownList*>(object))
        return new AccessibleDropDownList(list);
    if (auto* dialog = qobject_cast<TemplateDialog*>(object))
        return new AccessibleTemplateDialog(dialog);
    return nullptr;
}

} // namespace

void installAccessibleInterfaces()
{
    static const bool installed = [] {
        QAccessible::installFactory(templateControlInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace talvo
