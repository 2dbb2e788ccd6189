#include "DialogBuilder.h"

#include "AccessibleInterfaces.h"
#include "DropDownList.h"
#include "FlatPushButton.h"
#include "TabControl.h"

#include <QCalendarWidget>
#include <QCheckBox>
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

// Push buttons and the tab strip are reached by Tab whatever the template says: a template
// that gives the tab stop to a few controls only leaves an operator without a mouse trapped.
bool isTabStop(const ControlTemplate& control)
{
    return (control.styles & StyleTabStop) || control.kind == ControlKind::PushButton ||
           control.kind == ControlKind::DefaultPushButton || control.kind == ControlKind::TabControl;
}

// The controls a screen reader needs a name for beyond their own text.
bool isField(ControlKind kind)
{
    return kind == ControlKind::Edit || kind == ControlKind::PasswordEdit ||
           kind == ControlKind::MultiLineEdit || kind == ControlKind::DropDownList ||
           kind == ControlKind::MonthCalendar;
}

bool sameRow(const QRect& a, const QRect& b)
{
    return a.top() <= b.bottom() && b.top() <= a.bottom();
}

// The static text on the field's row to its left, nearest first; a template may list all its
// labels before all its fields, so the order of the controls says nothing.
QLabel* labelOnRowOf(const QRect& field, const QList<QLabel*>& labels)
{
    QLabel* nearest = nullptr;
    for (QLabel* label : labels) {
        const QRect rect = label->geometry();
        if (sameRow(rect, field) && rect.center().x() < field.left() &&
            (!nearest || rect.right() > nearest->geometry().right()))
            nearest = label;
    }
    return nearest;
}

// A label that stands over a tall field, its left edge near the field's, with no more than a
// line's gap between them.
QLabel* labelAbove(const QRect& field, const QList<QLabel*>& labels)
{
    for (QLabel* label : labels) {
        const QRect rect = label->geometry();
        const int gap = field.top() - rect.bottom();
        if (gap > 0 && gap <= rect.height() && rect.left() < field.right() && field.left() < rect.right() &&
            qAbs(rect.left() - field.left()) <= rect.height())
            return label;
    }
    return nullptr;
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
    // A field with neither label nor group is what the window asks for.
    const QString caption = dialogTemplate.child
                                ? QString()
                                : QString::fromUtf8(dialogTemplate.caption ? dialogTemplate.caption : "");
    QList<QWidget*> fields;
    for (qsizetype i = 0; i < built.inOrder.size(); ++i) {
        if (!isField(dialogTemplate.controls[static_cast<std::size_t>(i)].kind))
            continue;
        QWidget* field = built.inOrder[i];
        fields.append(field);
        QLabel* label = labelOnRowOf(field->geometry(), labels);
        if (!label)
            label = labelAbove(field->geometry(), labels);
        if (label) {
            label->setBuddy(field);
            field->setAccessibleName(label->text());
        } else if (QGroupBox* group = innermostGroupAround(field->geometry(), groups)) {
            field->setAccessibleName(group->title());
        } else {
            field->setAccessibleName(caption);
        }
        if (auto* calendar = qobject_cast<QCalendarWidget*>(field))
            nameCalendarParts(calendar);
    }
    nameBrowseButtons(built.inOrder, fields);
}

void DialogBuilder::nameCalendarParts(QCalendarWidget* calendar)
{
    const struct {
        const char* objectName;
        QString name;
    } parts[] = {
        {"qt_calendar_prevmonth", QStringLiteral("上个月")},
        {"qt_calendar_nextmonth", QStringLiteral("下个月")},
        {"qt_calendar_yearedit", QStringLiteral("年份")},
        // The day table has the focus: it says what the date is for.
        {"qt_calendar_calendarview", calendar->accessibleName()},
    };
    for (const auto& part : parts)
        if (auto* widget = calendar->findChild<QWidget*>(QLatin1String(part.objectName)))
            widget->setAccessibleName(part.name);
}

void DialogBuilder::nameBrowseButtons(const QList<QWidget*>& controls, const QList<QWidget*>& fields)
{
    for (QWidget* control : controls) {
        auto* button = qobject_cast<QPushButton*>(control);
        if (!button || button->text() != QStringLiteral("…"))
            continue;
        // The field on its row, nearest to its left.
        QWidget* filled = nullptr;
        for (QWidget* field : fields) {
            const QRect rect = field->geometry();
            if (sameRow(rect, button->geometry()) && rect.right() < button->x() &&
                (!filled || rect.right() > filled->geometry().right()))
                filled = field;
        }
        if (filled)
            button->setAccessibleName(filled->accessibleName());
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
    case ControlKind::DropDownList:
        return new DropDownList(window);
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
    installAccessibleInterfaces();
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
        if (!isTabStop(control))
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
