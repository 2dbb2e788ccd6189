#pragma once

#include "platform/core/ErrorReporter.h"

#include <QPointer>
#include <QWidget>

namespace talvo {

// A failure becomes the owner's own box, with the caption given and the error icon.
class WindowBoxReporter : public ErrorReporter {
public:
    explicit WindowBoxReporter(QWidget* owner) : m_owner(owner) {}

    void reportError(const QString& text, const QString& caption) override;

private:
    QPointer<QWidget> m_owner;
};

} // namespace talvo
