#pragma once

#include <QDialog>

class QLineEdit;

namespace talvo::stamp {

// Asks the key holder for the key's user PIN.
class PinDialog : public QDialog {
    Q_OBJECT
public:
    explicit PinDialog(QWidget* parent = nullptr);

    QString pin() const;

private:
    QLineEdit* m_pin = nullptr;
};

} // namespace talvo::stamp
