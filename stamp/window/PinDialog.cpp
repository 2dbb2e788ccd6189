#include "PinDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

namespace talvo::stamp {

PinDialog::PinDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("用户口令"));
    auto* layout = new QFormLayout(this);
    m_pin = new QLineEdit(this);
    m_pin->setEchoMode(QLineEdit::Password);
    m_pin->setAccessibleName(QStringLiteral("用户口令"));
    layout->addRow(QStringLiteral("USB Key 用户口令(&P)："), m_pin);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QString PinDialog::pin() const
{
    return m_pin->text();
}

} // namespace talvo::stamp
