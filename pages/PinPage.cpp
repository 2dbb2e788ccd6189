#include "PinPage.h"

#include "device/KeyDriverBinding.h"
#include "platform/Cp936Codec.h"
#include "platform/Interaction.h"
#include "platform/TextLimit.h"
#include "resources/DialogTemplates.h"

#include <QLineEdit>

#include <string>

namespace talvo {

namespace {

constexpr std::size_t kPasswordLimit = 6;
constexpr int32_t kWriteHashSelector = 4;
constexpr int32_t kReadHashSelector = 2;
constexpr int32_t kOperatorMode = 3;
// The driver writes at most 40 bytes of hash; the extra byte keeps what goes back to the key
// terminated even if it fills all 40.
constexpr std::size_t kHashBufferSize = TL_HASH_BUFFER_SIZE + 1;

const QString kIncompleteText = QStringLiteral("请输入完整信息!");
const QString kWarningCaption = QStringLiteral("警告");
const QString kNoticeCaption = QStringLiteral("提示");

int32_t byteLength(const std::string& text)
{
    return static_cast<int32_t>(text.size());
}

} // namespace

PinPage::PinPage() : BindingPage(IDD_PIN)
{
    onClicked(SetPasswordButton, [this] { onSetPassword(); });
    onClicked(CheckPinButton, [this] { onCheckPin(); });
    onClicked(DriverDialogButton, [this] { onDriverDialog(); });
    onClicked(RemoveCertsButton, [this] { onRemoveCerts(); });
    onClicked(RegisterCertsButton, [this] { onRegisterCerts(); });
    onClicked(CountCertsButton, [this] { onCountCerts(); });
    onClicked(IssueOperatorButton, [this] { onIssueOperator(); });
    onClicked(ReadHashButton, [this] { onReadHash(); });
}

bool PinPage::onInitDialog()
{
    for (int id : {OldPasswordEdit, NewPasswordEdit, ConfirmationEdit})
        setTextLimitBytes(controlAs<QLineEdit>(id), kPasswordLimit);
    return true;
}

void PinPage::exchangeTexts(bool fromForm)
{
    const std::pair<int, QString*> members[] = {
        {OldPasswordEdit, &m_oldPassword},
        {NewPasswordEdit, &m_newPassword},
        {InformationEdit, &m_information},
        {ConfirmationEdit, &m_confirmation},
        {PinEdit, &m_pin},
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
    for (int id : {OldPasswordEdit, NewPasswordEdit, ConfirmationEdit})
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
    if (m_oldPassword.isEmpty() || m_newPassword.isEmpty() || m_confirmation.isEmpty()) {
        windowMessageBox(this, kIncompleteText, kWarningCaption, BoxIcon::Information);
        clearPasswordFields();
        showInformation(kIncompleteText);
        control(OldPasswordEdit)->setFocus();
        return;
    }

    const std::string oldPassword = toCp936(m_oldPassword);
    uint8_t matches = 0;
    const int32_t checkStatus =
        m_binding ? m_binding->TLKeyCheckHash(oldPassword.c_str(), byteLength(oldPassword), &matches)
                  : TL_ERR_NO_DEVICE;
    if (checkStatus != 0 || matches == 0) {
        windowMessageBox(this, QStringLiteral("密码不正确!"), kWarningCaption, BoxIcon::Error);
        clearPasswordFields();
        control(OldPasswordEdit)->setFocus();
        return;
    }

    // A mistyped confirmation is left on screen for the operator to see and correct.
    const std::string newPassword = toCp936(m_newPassword);
    if (newPassword != toCp936(m_confirmation))
        return;

    // Only reached with a binding: without one the check above has already failed.
    char hash[kHashBufferSize] = {};
    if (m_binding->TLKeyCalcHash(newPassword.c_str(), byteLength(newPassword), hash) != 0) {
        windowMessageBox(this, QStringLiteral("计算哈希不成功!"), kNoticeCaption, BoxIcon::Information);
        clearPasswordFields();
        return;
    }
    const bool written = m_binding->TLKeyWriteHash(hash, kWriteHashSelector) == 0;
    windowMessageBox(
        this, written ? QStringLiteral("修改密码成功!") : QStringLiteral("修改密码不成功或参数设置错误!"),
        kNoticeCaption, BoxIcon::Information);
    clearPasswordFields();
}

void PinPage::onCheckPin()
{
    exchangeTexts(true);
    const std::string pin = toCp936(m_pin);
    const int32_t status = m_binding ? m_binding->TLKeyVerifyUserPin(pin.c_str()) : TL_ERR_NO_DEVICE;
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
