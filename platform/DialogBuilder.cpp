#include "DialogBuilder.h"

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

} // namespace

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
        auto* button = new QPushButton(text, window);
        button->setAutoDefault(false);
        button->setDefault(control.kind == ControlKind::DefaultPushButton);
        button->setFlat((control.styles & StyleFlat) != 0);
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
    // Group boxes are only frames: everything else stays above them, as on Windows.
    for (QWidget* widget : built.inOrder)
        if (qobject_cast<QGroupBox*>(widget))
            widget->lower();
    return built;
}

} // namespace talvo
