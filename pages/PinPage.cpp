#include "PinPage.h"

#include "device/DriverConventions.h"
#include "device/KeyDriverBinding.h"
#include "key/OperatorTexts.h"
#include "key/PinChange.h"
#include "key/PinOperations.h"
#include "platform/core/Cp936Codec.h"
#include "platform/widgets/Interaction.h"
#include "platform/widgets/TextLimit.h"
#include "resources/DialogTemplates.h"

#include <QLineEdit>

#include <string>

namespace talvo {

namespace P = ids::pin;

PinPage::PinPage() : BindingPage(IDD_PIN)
{
    onClicked(P::SetPasswordButton, [this] { onSetPassword(); });
    onClicked(P::CheckPinButton, [this] { onCheckPin(); });
    onClicked(P::DriverDialogButton, [this] { onDriverDialog(); });
    onClicked(P::RemoveCertsButton, [this] { onRemoveCerts(); });
    onClicked(P::RegisterCertsButton, [this] { onRegisterCerts(); });
    onClicked(P::CountCertsButton, [this] { onCountCerts(); });
    onClicked(P::IssueOperatorButton, [this] { onIssueOperator(); });
    onClicked(P::ReadHashButton, [this] { onReadHash(); });
}

bool PinPage::onInitDialog()
{
    for (int id : {P::OldPasswordEdit, P::NewPasswordEdit, P::ConfirmationEdit})
        setTextLimitBytes(controlAs<QLineEdit>(id), kPinMaxBytes);
    return true;
}

void PinPage::exchangeTexts(bool fromForm)
{
    const std::pair<int, QString*> members[] = {
        {P::OldPasswordEdit, &m_oldPassword},
        {P::NewPasswordEdit, &m_newPassword},
        {P::InformationEdit, &m_information},
        {P::ConfirmationEdit, &m_confirmation},
        {P::PinEdit, &m_pin},
    };
    for (const auto& [id, member] : members) {
        if (fromForm)
            *member = itemText(id);
        else
            setItemText(id, *member);
    }
}

void PinPage::clearPasswordFields()
{
    for (int id : {P::OldPasswordEdit, P::NewPasswordEdit, P::ConfirmationEdit})
        setItemText(id, QString());
    exchangeTexts(true);
}

void PinPage::showInformation(const QString& text)
{
    m_information = text;
    exchangeTexts(false);
}

// Without a binding every call answers as it would without the driver library: status 1
// (no device) for the key operations, nothing at all for the certificate store.

void PinPage::onSetPassword()
{
    exchangeTexts(true);
    const std::string oldPin = toCp936(m_oldPassword);
    const std::string newPin = toCp936(m_newPassword);
    const std::string confirmation = toCp936(m_confirmation);
    PinChangeResult result{PinChangeOutcome::Incomplete};
    if (m_binding)
        result = changePin(*m_binding, oldPin, newPin, confirmation);
    else if (pinChangeComplete(oldPin, newPin, confirmation))
        result = {PinChangeOutcome::WrongOldPin, TL_ERR_NO_DEVICE};
    const QString text = pinChangeText(result.outcome);
    switch (result.outcome) {
    case PinChangeOutcome::Incomplete:
        windowMessageBox(this, text, kWarningCaption, BoxIcon::Information);
        clearPasswordFields();
        showInformation(text);
        control(P::OldPasswordEdit)->setFocus();
        return;
    case PinChangeOutcome::WrongOldPin:
        windowMessageBox(this, text, kWarningCaption, BoxIcon::Error);
        clearPasswordFields();
        control(P::OldPasswordEdit)->setFocus();
        return;
    case PinChangeOutcome::ConfirmationDiffers:
        // A mistyped confirmation is left on screen for the operator to see and correct.
        return;
    case PinChangeOutcome::HashFailed:
    case PinChangeOutcome::WriteFailed:
    case PinChangeOutcome::Changed:
        windowMessageBox(this, text, kNoticeCaption, BoxIcon::Information);
        clearPasswordFields();
        return;
    }
}

void PinPage::onCheckPin()
{
    exchangeTexts(true);
    const std::string pin = toCp936(m_pin);
    const int32_t status = m_binding ? checkPin(*m_binding, pin) : TL_ERR_NO_DEVICE;
    windowMessageBox(this, status == 0 ? QStringLiteral("ok") : QStringLiteral("error"));
}

void PinPage::onDriverDialog()
{
    if (m_binding)
        m_binding->TLShowDlg();
}

void PinPage::onRemoveCerts()
{
    if (m_binding)
        m_binding->TLRemoveAllCertsFromIE();
}

void PinPage::onRegisterCerts()
{
    if (m_binding)
        m_binding->TLRegCerts();
}

void PinPage::onCountCerts()
{
    const int32_t count = m_binding ? m_binding->TLGetCertsNumFromIE() : 0;
    windowMessageBox(this, QString::number(count));
}

void PinPage::onIssueOperator()
{
    if (!m_binding)
        return;
    const std::string province = toCp936(QStringLiteral("辽宁"));
    const std::string name = toCp936(QStringLiteral("vudeze"));
    m_binding->TLKeyInit(kOperatorMode, province.c_str(), name.c_str());
}

void PinPage::onReadHash()
{
    char hash[TL_HASH_BUFFER_SIZE] = {};
    if (m_binding)
        m_binding->TLKeyReadHash(hash, kReadHashSelector);
    windowMessageBox(this, fromCp936(hash, sizeof hash));
}

} // namespace talvo
