#include "AccessibleDropDownList.h"

#include <QAbstractItemView>
#include <QComboBox>

namespace talvo {

AccessibleDropDownList::AccessibleDropDownList(QComboBox* comboBox)
    : QAccessibleWidget(comboBox, QAccessible::ComboBox)
{
}

QComboBox* AccessibleDropDownList::comboBox() const
{
    return static_cast<QComboBox*>(widget());
}

QString AccessibleDropDownList::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return comboBox()->currentText();
    return QAccessibleWidget::text(t);
}

// The opened list is its one child, as in Qt's own interface.
int AccessibleDropDownList::childCount() const
{
    return 1;
}

QAccessibleInterface* AccessibleDropDownList::child(int index) const
{
    return index == 0 ? QAccessible::queryAccessibleInterface(comboBox()->view()) : nullptr;
}

int AccessibleDropDownList::indexOfChild(const QAccessibleInterface* child) const
{
    return child && child->object() == comboBox()->view() ? 0 : -1;
}

QStringList AccessibleDropDownList::actionNames() const
{
    return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
}

void AccessibleDropDownList::doAction(const QString& actionName)
{
    if (actionName == showMenuAction()) {
        if (comboBox()->view()->isVisible())
            comboBox()->hidePopup();
        else
            comboBox()->showPopup();
        return;
    }
    QAccessibleWidget::doAction(actionName);
}

} // namespace talvo
