#pragma once

#include <QValidator>

class QLineEdit;

namespace talvo {

// Keeps typed or pasted text within the limit in CP936 bytes, the way the original edits
// counted it: of what is inserted, as much as fits is taken, never half a double-byte
// character. A text the program put there may be longer; the operator may then only shorten it.
class Cp936LengthValidator : public QValidator {
    Q_OBJECT
public:
    Cp936LengthValidator(std::size_t maxBytes, QLineEdit* edit);
    State validate(QString& input, int& position) const override;
    void fixup(QString& input) const override;
    std::size_t maxBytes() const { return m_maxBytes; }

private:
    std::size_t m_maxBytes;
    QString m_previous;
};

// Sets the edit's text limit in CP936 bytes (a double-byte character counts two).
void setTextLimitBytes(QLineEdit* edit, std::size_t maxBytes);

// The edit's text limit in bytes, or 0 when it has none.
std::size_t textLimitBytes(const QLineEdit* edit);

// Sets the text as the program does: the limit binds only what the operator types.
void setTextIgnoringLimit(QLineEdit* edit, const QString& text);

} // namespace talvo
