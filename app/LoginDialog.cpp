#include "LoginDialog.h"

#include "key/OperatorTexts.h"
#include "platform/core/Cp936Codec.h"
#include "platform/widgets/Interaction.h"
#include "resources/DialogTemplates.h"

#include <QLineEdit>

namespace talvo {

namespace L = ids::login;

LoginDialog::LoginDialog(QWidget* parent) : TemplateDialog(dialogTemplate(IDD_LOGIN), parent) {}

bool LoginDialog::onInitDialog()
{
    if (QWidget* edit = control(L::PasswordEdit))
        edit->setFocus(Qt::OtherFocusReason);
    return false;
}

void LoginDialog::onOk()
{
    // Compared as the bytes typed: case matters and nothing is trimmed.
    if (isToolPassword(toCp936(itemText(L::PasswordEdit)))) {
        endDialog(IDOK);
        return;
    }
    windowMessageBox(this, kWrongPasswordText, kNoticeCaption);
    setItemText(L::PasswordEdit, QString());
}

} // namespace talvo
