#include "TemplateDialog.h"

#include "Interaction.h"
#include "TextLimit.h"

#include <QAbstractButton>
#include <QCalendarWidget>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWindow>

namespace talvo {

TemplateDialog::TemplateDialog(const DialogTemplate& dialogTemplate, QWidget* parent)
    : QDialog(parent), m_template(dialogTemplate)
{
    m_controls = DialogBuilder::build(m_template, this);
    if (m_template.child) {
        setWindowFlags(Qt::Widget);
        resize(m_controls.clientSize);
    } else {
        setWindowTitle(QString::fromUtf8(m_template.caption ? m_template.caption : ""));
        setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                       Qt::WindowCloseButtonHint);
        setFixedSize(m_controls.clientSize);
        // A window without a caption is named, for screen readers, by what it asks first.
        if (windowTitle().isEmpty())
            for (QWidget* widget : m_controls.inOrder)
                if (auto* group = qobject_cast<QGroupBox*>(widget); group && !group->title().isEmpty()) {
                    setAccessibleName(group->title());
                    break;
                }
    }
    // Qt's calendar view takes Enter for itself; a Windows month calendar leaves it to the
    // dialog, whose default button it presses.
    for (QWidget* widget : m_controls.inOrder)
        if (auto* calendar = qobject_cast<QCalendarWidget*>(widget))
            if (QWidget* view = calendar->focusProxy())
                view->installEventFilter(this);
    if (auto* ok = qobject_cast<QAbstractButton*>(control(IDOK)))
        connect(ok, &QAbstractButton::clicked, this, [this] { onOk(); });
    if (auto* cancel = qobject_cast<QAbstractButton*>(control(IDCANCEL)))
        connect(cancel, &QAbstractButton::clicked, this, [this] { onCancel(); });
}

QString TemplateDialog::itemText(int id) const
{
    QWidget* widget = control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return edit->text();
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget))
        return edit->toPlainText();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* group = qobject_cast<QGroupBox*>(widget))
        return group->title();
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        return combo->currentText();
    return {};
}

void TemplateDialog::setItemText(int id, const QString& text)
{
    QWidget* widget = control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        setTextIgnoringLimit(edit, text);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget))
        plain->setPlainText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(widget))
        group->setTitle(text);
}

int TemplateDialog::doModal()
{
    // A dialog created without a parent belongs to the main window, as the framework made it
    // the owner: it stays above it and goes with it.
    QWidget* owner = mainWindow();
    if (!parentWidget() && owner && owner != this && owner->isWindow()) {
        owner->winId();
        winId();
        if (QWindow* handle = windowHandle())
            handle->setTransientParent(owner->windowHandle());
    }
    return interaction().runModal(*this);
}

void TemplateDialog::createAsChild(QWidget* parent)
{
    setParent(parent, Qt::Widget);
    initialize();
}

void TemplateDialog::accept()
{
    onOk();
}

void TemplateDialog::reject()
{
    if (m_template.child)
        return;
    onCancel();
}

void TemplateDialog::onClicked(int id, std::function<void()> handler)
{
    if (auto* button = qobject_cast<QAbstractButton*>(control(id)))
        connect(button, &QAbstractButton::clicked, this, [handler = std::move(handler)] { handler(); });
}

void TemplateDialog::initialize()
{
    if (m_initialized)
        return;
    m_initialized = true;
    if (onInitDialog())
        focusFirstControl();
}

void TemplateDialog::focusFirstControl()
{
    for (QWidget* widget : m_controls.inOrder) {
        if (widget->isVisibleTo(this) && widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus)) {
            widget->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    setFocus(Qt::OtherFocusReason);
}

void TemplateDialog::showEvent(QShowEvent* event)
{
    // An empty caption is an empty title bar, as on Windows; Qt's platforms would show the
    // application's name there instead, so the title bar gets a blank.
    if (!m_template.child && windowTitle().isEmpty())
        if (QWindow* handle = windowHandle())
            handle->setTitle(QStringLiteral(" "));
    initialize();
    QDialog::showEvent(event);
}

QPushButton* TemplateDialog::defaultButton() const
{
    for (QWidget* widget : m_controls.inOrder) {
        auto* button = qobject_cast<QPushButton*>(widget);
        if (button && button->isDefault() && button->isVisible() && button->isEnabled())
            return button;
    }
    return nullptr;
}

bool TemplateDialog::isPlainEnter(const QKeyEvent* event)
{
    return (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
           (event->modifiers() | Qt::KeypadModifier) == Qt::KeypadModifier;
}

bool TemplateDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && isPlainEnter(static_cast<QKeyEvent*>(event))) {
        keyPressEvent(static_cast<QKeyEvent*>(event));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TemplateDialog::keyPressEvent(QKeyEvent* event)
{
    const bool enter = isPlainEnter(event);
    const bool escape = event->key() == Qt::Key_Escape;
    const bool plain = (event->modifiers() | Qt::KeypadModifier) == Qt::KeypadModifier;
    if ((!enter && !escape) || !plain) {
        QDialog::keyPressEvent(event);
        return;
    }
    event->accept();
    // A focused push button takes Enter as its own click.
    if (enter) {
        if (auto* focused = qobject_cast<QPushButton*>(focusWidget());
            focused && focused->window() == window()) {
            focused->click();
            return;
        }
    }
    if (m_template.child) {
        // A page inside the main window is no dialog of its own: Esc does nothing, Enter
        // presses the page's default button if it has one, and the page never ends itself.
        if (enter)
            if (QPushButton* button = defaultButton())
                button->click();
        return;
    }
    if (escape) {
        onCancel();
        return;
    }
    if (QPushButton* button = defaultButton())
        button->click();
    else
        onOk();
}

} // namespace talvo
