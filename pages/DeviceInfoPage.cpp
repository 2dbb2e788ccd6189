#include "DeviceInfoPage.h"

#include "device/DriverConventions.h"
#include "device/KeyDriverBinding.h"
#include "device/StatusText.h"
#include "key/BaseRecord.h"
#include "key/DeviceInfoFields.h"
#include "key/DeviceOperations.h"
#include "key/OperatorTexts.h"
#include "platform/core/Cp936Codec.h"
#include "platform/core/DebugTrace.h"
#include "platform/widgets/Interaction.h"
#include "platform/widgets/TextLimit.h"
#include "resources/DialogTemplates.h"
#include "seals/SealListDialog.h"

#include <QCheckBox>
#include <QLineEdit>

namespace talvo {

namespace D = ids::deviceInfo;

DeviceInfoPage::DeviceInfoPage() : BindingPage(IDD_DEVICE_INFO)
{
    onClicked(D::ViewButton, [this] { onView(); });
    onClicked(D::SetButton, [this] { onSet(); });
    onClicked(D::InitialiseButton, [this] { onInitialise(); });
    onClicked(D::ClearButton, [this] { onClear(); });
    onClicked(D::SealManagementButton, [this] { onSealManagement(); });
    // An undecided box (a flag of 2 from the key) becomes an ordinary two-state box once the
    // operator clicks it.
    for (int id : {D::FactoryCheck, D::FormatCheck, D::InitCheck, D::LockCheck, D::TimeControlCheck,
                   D::KeyRoleCheck}) {
        if (auto* box = controlAs<QCheckBox>(id))
            connect(box, &QCheckBox::clicked, box, [box] { box->setTristate(false); });
    }
}

bool DeviceInfoPage::onInitDialog()
{
    setTextLimitBytes(controlAs<QLineEdit>(D::ModeEdit), kModeTextMaxBytes);
    setTextLimitBytes(controlAs<QLineEdit>(D::UnitIdEdit), kUnitIdMaxBytes);
    setTextLimitBytes(controlAs<QLineEdit>(D::UserIdEdit), kUserIdMaxBytes);
    setTextLimitBytes(controlAs<QLineEdit>(D::ErrorTimesEdit), kErrorTimesMaxBytes);
    setTextLimitBytes(controlAs<QLineEdit>(D::SealCountEdit), kSealCountMaxBytes);
    return true;
}

void DeviceInfoPage::showCheck(int id, int value)
{
    auto* box = controlAs<QCheckBox>(id);
    if (!box)
        return;
    const Qt::CheckState state = checkStateFromFlag(value);
    box->setTristate(state == Qt::PartiallyChecked);
    box->setCheckState(state);
}

void DeviceInfoPage::exchangeChecks(bool fromForm)
{
    const std::pair<int, int*> members[] = {
        {D::FactoryCheck, &m_flags.factory},
        {D::FormatCheck, &m_flags.format},
        {D::InitCheck, &m_flags.init},
        {D::LockCheck, &m_flags.lock},
        {D::TimeControlCheck, &m_flags.timeControl},
        {D::KeyRoleCheck, &m_flags.keyRole},
    };
    for (const auto& [id, member] : members) {
        if (fromForm) {
            if (const auto* box = controlAs<QCheckBox>(id))
                *member = flagFromCheckState(box->checkState());
        } else {
            showCheck(id, *member);
        }
    }
}

bool DeviceInfoPage::keyPresent() const
{
    // Without a binding there is no way to the key: it counts as absent.
    return m_binding && talvo::keyPresent(*m_binding);
}

void DeviceInfoPage::showStatusError(int32_t status)
{
    char message[kStatusTextBufferSize] = {};
    GetStatusText(status, message);
    windowMessageBox(this, fromCp936(message, sizeof message), kErrorCaption, BoxIcon::Error);
}

std::optional<int32_t> DeviceInfoPage::modeFromForm() const
{
    const std::string typed = toCp936(itemText(D::ModeEdit));
    return matchModeText(std::string_view(typed).substr(0, kModeTextMaxBytes));
}

void DeviceInfoPage::onView()
{
    if (!keyPresent()) {
        windowMessageBox(this, kKeyAbsentText, kNoticeCaption, BoxIcon::Information);
        return;
    }
    KeyBaseInfo base;
    const int32_t status = readBaseInformation(*m_binding, base);
    if (status != 0) {
        showStatusError(status);
        return;
    }
    const DeviceInfoView view = viewFromRecord(base);
    m_flags = view.flags;
    setItemText(D::PinHashEdit, view.pinHash);
    setItemText(D::UnitIdEdit, view.unitId);
    setItemText(D::UserIdEdit, view.userId);
    setItemText(D::ErrorTimesEdit, view.errorTimes);
    setItemText(D::SealCountEdit, view.sealCount);
    setItemText(D::ModeEdit, view.mode);
    exchangeChecks(false);
}

void DeviceInfoPage::onSet()
{
    if (applicationMessageBox(kConfirmSetText, BoxButtons::YesNo, BoxIcon::Warning, BoxResult::No) !=
        BoxResult::Yes)
        return;
    if (!keyPresent()) {
        windowMessageBox(this, kKeyAbsentText, kNoticeCaption, BoxIcon::Information);
        return;
    }
    exchangeChecks(true);

    DeviceInfoForm form;
    form.pinHash = toCp936(itemText(D::PinHashEdit));
    form.unitId = toCp936(itemText(D::UnitIdEdit));
    form.userId = toCp936(itemText(D::UserIdEdit));
    const std::optional<int32_t> mode = modeFromForm();
    if (!mode) {
        windowMessageBox(this, kModeErrorText, kNoticeCaption, BoxIcon::Information);
        return;
    }
    form.errorTimes = parseDecimal(toCp936(itemText(D::ErrorTimesEdit)));
    form.mode = *mode;
    form.flags = m_flags;

    const int32_t status = writeBaseRecord(*m_binding, buildKeyBaseInfo(form));
    if (status == 0)
        windowMessageBox(this, kOperationDoneText, kNoticeCaption, BoxIcon::Information);
    else
        showStatusError(status);
}

void DeviceInfoPage::onInitialise()
{
    if (applicationMessageBox(kConfirmFormatText, BoxButtons::YesNo, BoxIcon::Warning, BoxResult::No) !=
        BoxResult::Yes)
        return;
    if (!keyPresent()) {
        debugTrace(QStringLiteral("不存在"));
        windowMessageBox(this, kKeyAbsentText, kNoticeCaption, BoxIcon::Information);
        return;
    }
    const std::optional<int32_t> status = formatKey(*m_binding, [this] {
        if (modeFromForm())
            return true;
        windowMessageBox(this, kModeErrorText, kErrorCaption, BoxIcon::Error);
        debugTrace(kModeErrorText);
        return false;
    });
    if (status && *status != 0) {
        debugTrace(QStringLiteral("lowformat执行失败"));
        showStatusError(*status);
    }
}

void DeviceInfoPage::onClear()
{
    m_flags = {};
    for (int id :
         {D::ModeEdit, D::UnitIdEdit, D::UserIdEdit, D::ErrorTimesEdit, D::SealCountEdit, D::PinHashEdit})
        setItemText(id, QString());
    exchangeChecks(false);
}

void DeviceInfoPage::onSealManagement()
{
    if (!keyPresent()) {
        windowMessageBox(this, kKeyAbsentText, kNoticeCaption, BoxIcon::Information);
        return;
    }
    // Without a parent of its own the list is a window of the application, not of this page.
    SealListDialog dialog;
    dialog.setBinding(m_binding);
    dialog.doModal();
}

} // namespace talvo
