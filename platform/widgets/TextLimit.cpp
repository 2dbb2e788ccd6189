#include "TextLimit.h"

#include "platform/core/Cp936Codec.h"

#include <QLineEdit>

#include <algorithm>

namespace talvo {

Cp936LengthValidator::Cp936LengthValidator(std::size_t maxBytes, QLineEdit* edit)
    : QValidator(edit), m_maxBytes(maxBytes), m_previous(edit->text())
{
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { m_previous = text; });
}

QValidator::State Cp936LengthValidator::validate(QString& input, int& position) const
{
    const std::size_t length = cp936Length(input);
    if (length <= m_maxBytes || length < cp936Length(m_previous))
        return Acceptable;

    // What the edit inserted lies between the part it kept before the cursor and the part
    // it kept after it.
    const qsizetype cursor = std::clamp<qsizetype>(position, 0, input.size());
    qsizetype head = 0;
    while (head < cursor && head < m_previous.size() && input[head] == m_previous[head])
        ++head;
    if (head > 0 && input[head - 1].isHighSurrogate())
        --head;
    qsizetype tail = 0;
    while (tail < input.size() - head && tail < m_previous.size() - head &&
           input[input.size() - 1 - tail] == m_previous[m_previous.size() - 1 - tail])
        ++tail;
    if (tail > 0 && input[input.size() - tail].isLowSurrogate())
        --tail;

    const QString kept = input.left(head) + input.right(tail);
    const std::size_t keptBytes = cp936Length(kept);
    if (keptBytes >= m_maxBytes)
        return Invalid;
    const QString fitting =
        truncateToCp936Bytes(input.mid(head, input.size() - head - tail), m_maxBytes - keptBytes);
    if (fitting.isEmpty())
        return Invalid;
    input = input.left(head) + fitting + input.right(tail);
    position = static_cast<int>(head + fitting.size());
    return Acceptable;
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
