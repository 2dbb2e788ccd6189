#include "Typing.h"

#include "platform/widgets/TemplateDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <gtest/gtest.h>

namespace talvo::testing {

void typeText(QWidget* widget, const QString& text)
{
    for (const QChar character : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QApplication::sendEvent(widget, &release);
    }
}

void clickButton(const QDialog& dialog, int id)
{
    const auto* templateDialog = qobject_cast<const TemplateDialog*>(&dialog);
    auto* button = templateDialog ? templateDialog->controlAs<QAbstractButton>(id) : nullptr;
    if (!button) {
        ADD_FAILURE() << "no button " << id << " in " << dialog.metaObject()->className();
        return;
    }
    button->click();
}

} // namespace talvo::testing
