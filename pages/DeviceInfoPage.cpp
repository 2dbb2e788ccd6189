#include "DeviceInfoPage.h"

#include "DeviceInfoFields.h"
#include "device/KeyDriverBinding.h"
#include "device/StatusText.h"
#include "platform/Cp936Codec.h"
#include "platform/DebugTrace.h"
#include "platform/Interaction.h"
#include "platform/TextLimit.h"
#include "resources/DialogTemplates.h"
#include "seals/SealListDialog.h"

#include <QCheckBox>
#include <QLineEdit>

#include <cstring>

namespace talvo {

namespace {

constexpr int32_t kDeviceSelector = 4;
constexpr std::size_t kModeTextLimit = 10;
constexpr std::size_t kCalcHashBufferSize = 41;
const QString kFixedPin = QStringLiteral("730264");
constexpr int32_t kFixedPinLength = 6;

const QString kAbsentText = QStringLiteral("设备不存在");
const QString kModeErrorText = QStringLiteral("模式字符串输入有错误");
const QString kNoticeCaption = QStringLiteral("提示");
const QString kErrorCaption = QStringLiteral("错误");

} // namespace

DeviceInfoPage::DeviceInfoPage() : BindingPage(IDD_DEVICE_INFO)
{
    onClicked(ViewButton, [this] { onView(); });
    onClicked(SetButton, [this] { onSet(); });
    onClicked(InitialiseButton, [this] { onInitialise(); });
    onClicked(ClearButton, [this] { onClear(); });
    onClicked(SealManagementButton, [this] { onSealManagement(); });
    // An undecided box (a flag of 2 from the key) becomes an ordinary two-state box once the
    // operator clicks it.
    for (int id : {FactoryCheck, FormatCheck, InitCheck, LockCheck, TimeControlCheck, KeyRoleCheck}) {
        if (auto* box = controlAs<QCheckBox>(id))
            connect(box, &QCheckBox::clicked, box, [box] { box->setTristate(false); });
    }
}

bool DeviceInfoPage::onInitDialog()
{
    setTextLimitBytes(controlAs<QLineEdit>(ModeEdit), kModeTextLimit);
    setTextLimitBytes(controlAs<QLineEdit>(UnitIdEdit), TL_UNIT_ID_SIZE - 1);
    setTextLimitBytes(controlAs<QLineEdit>(UserIdEdit), TL_USER_ID_SIZE - 1);
    setTextLimitBytes(controlAs<QLineEdit>(ErrorTimesEdit), 1);
    setTextLimitBytes(controlAs<QLineEdit>(SealCountEdit), 10);
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
        {FactoryCheck, &m_factory}, {FormatCheck, &m_format},           {InitCheck, &m_init},
        {LockCheck, &m_lock},       {TimeControlCheck, &m_timeControl}, {KeyRoleCheck, &m_keyRole},
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
    return m_binding && m_binding->TLKeyIsExist(kDeviceSelector);
}

void DeviceInfoPage::showStatusError(int32_t status)
{
    char message[kStatusTextBufferSize] = {};
    GetStatusText(status, message);
    windowMessageBox(this, fromCp936(message, sizeof message), kErrorCaption, BoxIcon::Error);
}

std::optional<int32_t> DeviceInfoPage::modeFromForm() const
{
    const std::string typed = toCp936(itemText(ModeEdit));
    return matchModeText(std::string_view(typed).substr(0, kModeTextLimit));
}

void DeviceInfoPage::onView()
{
    if (!keyPresent()) {
        windowMessageBox(this, kAbsentText, kNoticeCaption, BoxIcon::Information);
        return;
    }
    KeyInfo info;
    std::memset(&info, 0, sizeof info);
    int32_t status = m_binding->TLKeyReadKeyInfo(&info);
    if (status != 0) {
        showStatusError(status);
        return;
    }
    int32_t sealCount = 0;
    status = m_binding->TLKeyReadSealNum(&sealCount);
    if (status != 0) {
        showStatusError(status);
        return;
    }
    KeyBaseInfo& base = info.base;
    base.sealNum = sealCount;

    m_factory = base.factoryFlag;
    m_format = base.formatFlag;
    m_init = base.initFlag;
    m_lock = base.lockFlag;
    m_timeControl = base.timeControlFlag;
    m_keyRole = keyRoleMember(base.keyRole);
    setItemText(PinHashEdit, fromCp936(base.pinHash, sizeof base.pinHash));
    setItemText(UnitIdEdit, fromCp936(base.unitId, sizeof base.unitId));
    setItemText(UserIdEdit, fromCp936(base.userId, sizeof base.userId));
    setItemText(ErrorTimesEdit, unsignedDecimal(base.errorTimes));
    setItemText(SealCountEdit, unsignedDecimal(base.sealNum));
    setItemText(ModeEdit, modeDisplayName(base.mode));
    exchangeChecks(false);
}

void DeviceInfoPage::onSet()
{
    if (applicationMessageBox(QStringLiteral("确定对信息进行设置吗?"), BoxButtons::YesNo, BoxIcon::Warning,
                              BoxResult::No) != BoxResult::Yes)
        return;
    if (!keyPresent()) {
        windowMessageBox(this, kAbsentText, kNoticeCaption, BoxIcon::Information);
        return;
    }
    exchangeChecks(true);

    DeviceInfoForm form;
    form.pinHash = toCp936(itemText(PinHashEdit));
    form.unitId = toCp936(itemText(UnitIdEdit));
    form.userId = toCp936(itemText(UserIdEdit));
    const std::optional<int32_t> mode = modeFromForm();
    if (!mode) {
        windowMessageBox(this, kModeErrorText, kNoticeCaption, BoxIcon::Information);
        return;
    }
    form.errorTimes = parseDecimal(toCp936(itemText(ErrorTimesEdit)));
    form.mode = *mode;
    form.factory = m_factory;
    form.format = m_format;
    form.init = m_init;
    form.lock = m_lock;

    const int32_t status = m_binding->TLKeyWriteKeyBaseInfo(buildKeyBaseInfo(form));
    if (status == 0)
        windowMessageBox(this, QStringLiteral("操作成功"), kNoticeCaption, BoxIcon::Information);
    else
        showStatusError(status);
}

void DeviceInfoPage::onInitialise()
{
    if (applicationMessageBox(QStringLiteral("你确定对设备进行初始化操作吗？"), BoxButtons::YesNo,
                              BoxIcon::Warning, BoxResult::No) != BoxResult::Yes)
        return;
    char hash[kCalcHashBufferSize] = {};
    if (!keyPresent()) {
        debugTrace(QStringLiteral("不存在"));
        windowMessageBox(this, kAbsentText, kNoticeCaption, BoxIcon::Information);
        return;
    }
    // The hash of the fixed PIN is asked for but not used: only the low format reaches the key.
    const std::string pin = toCp936(kFixedPin);
    m_binding->TLKeyCalcHash(pin.c_str(), kFixedPinLength, hash);
    if (!modeFromForm()) {
        windowMessageBox(this, kModeErrorText, kErrorCaption, BoxIcon::Error);
        debugTrace(kModeErrorText);
        return;
    }
    const int32_t status = m_binding->TLKeyLowFormat();
    if (status != 0) {
        debugTrace(QStringLiteral("lowformat执行失败"));
        showStatusError(status);
    }
}

void DeviceInfoPage::onClear()
{
    m_factory = m_format = m_init = m_lock = m_timeControl = m_keyRole = 0;
    for (int id : {ModeEdit, UnitIdEdit, UserIdEdit, ErrorTimesEdit, SealCountEdit, PinHashEdit})
        setItemText(id, QString());
    exchangeChecks(false);
}

void DeviceInfoPage::onSealManagement()
{
    if (!keyPresent()) {
        windowMessageBox(this, kAbsentText, kNoticeCaption, BoxIcon::Information);
        return;
    }
    // Without a parent of its own the list is a window of the application, not of this page.
    SealListDialog dialog;
    dialog.setBinding(m_binding);
    dialog.doModal();
}

} // namespace talvo
