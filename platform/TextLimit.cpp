#include "TextLimit.h"

#include "Cp936Codec.h"

#include <QLineEdit>

namespace talvo {

Cp936LengthValidator::Cp936LengthValidator(std::size_t maxBytes, QLineEdit* edit)
    : QValidator(edit), m_maxBytes(maxBytes), m_currentBytes(cp936Length(edit->text()))
{
    connect(edit, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_currentBytes = cp936Length(text); });
}

QValidator::State Cp936LengthValidator::validate(QString& input, int& position) const
{
    Q_UNUSED(position);
    const std::size_t length = cp936Length(input);
    return length <= m_maxBytes || length < m_currentBytes ? Acceptable : Invalid;
}

void Cp936LengthValidator::fixup(QString& input) const
{
    input = truncateToCp936Bytes(input, m_maxBytes);
}

void setTextLimitBytes(QLineEdit* edit, std::size_t maxBytes)
{
    if (!edit)
        return;
    delete edit->validator();
    edit->setValidator(new Cp936LengthValidator(maxBytes, edit));
}

std::size_t textLimitBytes(const QLineEdit* edit)
{
    const auto* validator = edit ? qobject_cast<const Cp936LengthValidator*>(edit->validator()) : nullptr;
    return validator ? validator->maxBytes() : 0;
}

void setTextIgnoringLimit(QLineEdit* edit, const QString& text)
{
    if (!edit)
        return;
    // Without its validator for a moment, the edit takes the text as valid, so the operator's
    // next key is judged against it rather than accepted unchecked.
    const QValidator* validator = edit->validator();
    edit->setValidator(nullptr);
    edit->setText(text);
    edit->setValidator(validator);
}

} // namespace talvo
