#pragma once

#include <QValidator>

class QLineEdit;

namespace talvo {

// Refuses typed or pasted text whose CP936 form is longer than the limit, the way the
// original edits counted their limit in bytes. A text the program put there may be longer;
// the operator may then only shorten it.
class Cp936LengthValidator : public QValidator {
    Q_OBJECT
public:
    Cp936LengthValidator(std::size_t maxBytes, QLineEdit* edit);
    State validate(QString& input, int& position) const override;
    void fixup(QString& input) const override;
    std::size_t maxBytes() const { return m_maxBytes; }

private:
    std::size_t m_maxBytes;
    std::size_t m_currentBytes = 0;
};

// Sets the edit's text limit in CP936 bytes (a double-byte character counts two).
void setTextLimitBytes(QLineEdit* edit, std::size_t maxBytes);

// The edit's text limit in bytes, or 0 when it has none.
std::size_t textLimitBytes(const QLineEdit* edit);

// Sets the text as the program does: the limit binds only what the operator types.
void setTextIgnoringLimit(QLineEdit* edit, const QString& text);

} // namespace talvo
