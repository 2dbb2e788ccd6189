#pragma once

#include <QValidator>

class QLineEdit;

namespace talvo {

// Refuses typed or pasted text whose CP936 form is longer than the limit, the way the
// original edits counted their limit in bytes. Text set by the program is not checked.
class Cp936LengthValidator : public QValidator {
    Q_OBJECT
public:
    Cp936LengthValidator(std::size_t maxBytes, QObject* parent);
    State validate(QString& input, int& position) const override;
    void fixup(QString& input) const override;
    std::size_t maxBytes() const { return m_maxBytes; }

private:
    std::size_t m_maxBytes;
};

// Sets the edit's text limit in CP936 bytes (a double-byte character counts two).
void setTextLimitBytes(QLineEdit* edit, std::size_t maxBytes);

// The edit's text limit in bytes, or 0 when it has none.
std::size_t textLimitBytes(const QLineEdit* edit);

} // namespace talvo
