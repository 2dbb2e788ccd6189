#include "TextLimit.h"

#include "Cp936Codec.h"

#include <QLineEdit>

namespace talvo {

Cp936LengthValidator::Cp936LengthValidator(std::size_t maxBytes, QObject* parent)
    : QValidator(parent), m_maxBytes(maxBytes)
{
}

QValidator::State Cp936LengthValidator::validate(QString& input, int& position) const
{
    Q_UNUSED(position);
    return cp936Length(input) <= m_maxBytes ? Acceptable : Invalid;
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

} // namespace talvo
