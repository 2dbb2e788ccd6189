#pragma once

#include "BindingPage.h"

#include <QString>

#include <cstdint>

namespace talvo {

// The third tab: PIN change and check, the stored hash and the certificate-store functions.
class PinPage : public BindingPage {
    Q_OBJECT
public:
    enum Control {
        OldPasswordEdit = 1071,
        NewPasswordEdit = 1072,
        ConfirmationEdit = 1073,
        InformationEdit = 1075,
        PinEdit = 1088,
        SetPasswordButton = 1074,
        ReadHashButton = 1099,
        CheckPinButton = 1087,
        DriverDialogButton = 1089,
        RemoveCertsButton = 1091,
        RegisterCertsButton = 1092,
        CountCertsButton = 1093,
        IssueOperatorButton = 1098,
    };

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
