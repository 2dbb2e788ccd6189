#pragma once

#include "BindingPage.h"

#include <QString>

#include <cstdint>

namespace talvo {

// The third tab: PIN change and check, the stored hash and the certificate-store functions.
class PinPage : public BindingPage {
    Q_OBJECT
public:
    PinPage();

protected:
    bool onInitDialog() override;

private:
    // Moves all five texts between the form and the members.
    void exchangeTexts(bool fromForm);
    void clearPasswordFields();
    void showInformation(const QString& text);

    void onSetPassword();
    void onCheckPin();
    void onDriverDialog();
    void onRemoveCerts();
    void onRegisterCerts();
    void onCountCerts();
    void onIssueOperator();
    void onReadHash();

    QString m_oldPassword;
    QString m_newPassword;
    QString m_information;
    QString m_confirmation;
    QString m_pin;
};

} // namespace talvo
