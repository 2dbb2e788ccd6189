#pragma once

#include <QAccessibleWidget>

class QComboBox;

namespace talvo {

// What a screen reader hears of a drop-down list: its label as the name and the chosen item as
// the value. Qt's own interface on Linux gives the chosen item as the name too, so an operator
// hears "CA-01" where the label says what to choose.
class AccessibleDropDownList : public QAccessibleWidget {
public:
    explicit AccessibleDropDownList(QComboBox* comboBox);

    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

private:
    QComboBox* comboBox() const;
};

} // namespace talvo
