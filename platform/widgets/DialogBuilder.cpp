#include "DialogBuilder.h"

#include "FlatPushButton.h"
#include "TabControl.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace talvo {

namespace {

// Tab reaches tab stops only; a control that takes the focus still takes it on a click.
void keepOutOfTabChain(QWidget* control)
{
    QList<QWidget*> widgets = control->findChildren<QWidget*>();
    widgets.prepend(control);
    for (QWidget* widget : widgets) {
        const Qt::FocusPolicy policy = widget->focusPolicy();
        if (policy & Qt::TabFocus)
            widget->setFocusPolicy((policy & Qt::ClickFocus) ? Qt::ClickFocus : Qt::NoFocus);
    }
}

bool takesTypedText(ControlKind kind)
{
    return kind == ControlKind::Edit || kind == ControlKind::PasswordEdit ||
           kind == ControlKind::MultiLineEdit || kind == ControlKind::DropDownList;
}

// The static text on the field's row to its left, nearest first; a template may list all its
// labels before all its fields, so the order of the controls says nothing.
QLabel* labelOnRowOf(const QRect& field, const QList<QLabel*>& labels)
{
    QLabel* nearest = nullptr;
    for (QLabel* label : labels) {
        const QRect rect = label->geometry();
        const bool sameRow = rect.top() <= field.bottom() && field.top() <= rect.bottom();
        if (sameRow && rect.center().x() < field.left() &&
            (!nearest || rect.right() > nearest->geometry().right()))
            nearest = label;
    }
    return nearest;
}

QGroupBox* innermostGroupAround(const QRect& field, const QList<QGroupBox*>& groups)
{
    QGroupBox* innermost = nullptr;
    for (QGroupBox* group : groups) {
        const QSize size = group->size();
        if (group->geometry().contains(field) && !group->title().isEmpty() &&
            (!innermost || size.width() * size.height() < innermost->width() * innermost->height()))
            innermost = group;
    }
    return innermost;
}

} // namespace

void DialogBuilder::nameFieldsByTheirLabels(const DialogTemplate& dialogTemplate, const BuiltControls& built)
{
    QList<QLabel*> labels;
    QList<QGroupBox*> groups;
    for (QWidget* widget : built.inOrder) {
        if (auto* label = qobject_cast<QLabel*>(widget))
            labels.append(label);
        else if (auto* group = qobject_cast<QGroupBox*>(widget))
            groups.append(group);
    }
    for (qsizetype i = 0; i < built.inOrder.size(); ++i) {
        if (!takesTypedText(dialogTemplate.controls[static_cast<std::size_t>(i)].kind))
            continue;
        QWidget* field = built.inOrder[i];
        if (QLabel* label = labelOnRowOf(field->geometry(), labels)) {
            label->setBuddy(field);
            field->setAccessibleName(label->text());
        } else if (QGroupBox* group = innermostGroupAround(field->geometry(), groups)) {
            field->setAccessibleName(group->title());
        }
    }
}

QWidget* DialogBuilder::createControl(const ControlTemplate& control, QWidget* window)
{
    const QString text = QString::fromUtf8(control.text ? control.text : "");
    switch (control.kind) {
    case ControlKind::Static: {
        auto* label = new QLabel(text, window);
        // Labels show texts from the key; never take them for markup.
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case ControlKind::GroupBox:
        return new QGroupBox(text, window);
    case ControlKind::Edit:
    case ControlKind::PasswordEdit: {
        auto* edit = new QLineEdit(text, window);
        // A Windows single-line edit draws its line at the top, however tall the control.
        edit->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        if (control.kind == ControlKind::PasswordEdit)
            edit->setEchoMode(QLineEdit::Password);
        return edit;
    }
    case ControlKind::MultiLineEdit: {
        auto* edit = new QPlainTextEdit(text, window);
        edit->setVerticalScrollBarPolicy((control.styles & StyleVerticalScroll) ? Qt::ScrollBarAlwaysOn
                                                                                : Qt::ScrollBarAsNeeded);
        edit->setTabChangesFocus(true);
        return edit;
    }
    case ControlKind::PushButton:
    case ControlKind::DefaultPushButton: {
        auto* button =
            (control.styles & StyleFlat) ? new FlatPushButton(text, window) : new QPushButton(text, window);
        button->setAutoDefault(false);
        button->setDefault(control.kind == ControlKind::DefaultPushButton);
        return button;
    }
    case ControlKind::CheckBox:
        return new QCheckBox(text, window);
    case ControlKind::DropDownList: {
        auto* combo = new QComboBox(window);
        combo->setEditable(false);
        return combo;
    }
    case ControlKind::TabControl:
        return new TabControl(window);
    case ControlKind::MonthCalendar: {
        auto* calendar = new QCalendarWidget(window);
        calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
        calendar->setGridVisible(false);
        calendar->setSelectionMode(QCalendarWidget::SingleSelection);
        return calendar;
    }
    }
    return new QWidget(window);
}

BuiltControls DialogBuilder::build(const DialogTemplate& dialogTemplate, QWidget* window)
{
    BuiltControls built;
    const QFont font = dialogFont(dialogTemplate.fontFace, dialogTemplate.pointSize);
    window->setFont(font);
    built.baseUnits = dialogBaseUnits(font);
    built.clientSize =
        dialogRectToPixels(built.baseUnits, 0, 0, dialogTemplate.width, dialogTemplate.height).size();

    for (const ControlTemplate& control : dialogTemplate.controls) {
        QWidget* widget = createControl(control, window);
        QRect geometry =
            dialogRectToPixels(built.baseUnits, control.x, control.y, control.width, control.height);
        // A drop-down list's template height includes its opened list.
        if (control.kind == ControlKind::DropDownList)
            geometry.setHeight(widget->sizeHint().height());
        widget->setGeometry(geometry);
        if (control.id != kNoControlId) {
            widget->setObjectName(QStringLiteral("control%1").arg(control.id));
            built.byId.insert(control.id, widget);
        }
        if (!(control.styles & StyleTabStop))
            keepOutOfTabChain(widget);
        if (control.styles & StyleHidden)
            widget->setVisible(false);
        built.inOrder.append(widget);
    }
    // Screen readers name a field as Windows names it for them: by the label beside it.
    nameFieldsByTheirLabels(dialogTemplate, built);
    // Group boxes are only frames: everything else stays above them, as on Windows.
    for (QWidget* widget : built.inOrder)
        if (qobject_cast<QGroupBox*>(widget))
            widget->lower();
    return built;
}

} // namespace talvo
