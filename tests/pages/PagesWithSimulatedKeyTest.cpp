#include "device/KeyDriverBinding.h"
#include "pages/DeviceInfoPage.h"
#include "pages/PinPage.h"
#include "platform/core/Cp936Codec.h"
#include "platform/core/DebugTrace.h"
#include "resources/ControlIds.h"
#include "seals/SealListDialog.h"
#include "support/Cp936.h"
#include "support/ScriptedInteraction.h"
#include "support/SimulatedKey.h"
#include "support/Typing.h"

#include <QCheckBox>
#include <QComboBox>

#include <gtest/gtest.h>

#include <cstring>

namespace talvo {
namespace {

using testing::SimulatedKey;
namespace D = ids::deviceInfo;
namespace P = ids::pin;

std::string field(const char* bytes, std::size_t size)
{
    return std::string(bytes, boundedLength(bytes, size));
}

// Both pages on one simulated demo key; what they did is read back from the key itself.
class PagesWithSimulatedKeyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setMainWindow(&m_mainWindow);
        m_deviceInfo.createAsChild(&m_host);
        m_pin.createAsChild(&m_host);
        m_deviceInfo.setBinding(&m_binding);
        m_pin.setBinding(&m_binding);
        ASSERT_TRUE(m_binding.isLibraryLoaded());
    }
    void TearDown() override { setMainWindow(nullptr); }

    KeyInfo readKey()
    {
        KeyInfo info;
        std::memset(&info, 0, sizeof info);
        EXPECT_EQ(m_binding.TLKeyReadKeyInfo(&info), 0);
        return info;
    }
    std::string hashOf(const QString& pin)
    {
        const std::string bytes = testing::cp936(pin);
        char hash[TL_HASH_BUFFER_SIZE + 1] = {};
        EXPECT_EQ(m_binding.TLKeyCalcHash(bytes.c_str(), static_cast<int32_t>(bytes.size()), hash), 0);
        return hash;
    }
    void clickDeviceInfo(int id) { testing::clickButton(m_deviceInfo, id); }
    void clickPin(int id) { testing::clickButton(m_pin, id); }
    void changePin(const QString& oldPin, const QString& newPin)
    {
        m_pin.setItemText(P::OldPasswordEdit, oldPin);
        m_pin.setItemText(P::NewPasswordEdit, newPin);
        m_pin.setItemText(P::ConfirmationEdit, newPin);
        clickPin(P::SetPasswordButton);
    }
    void checkPin(const QString& pin)
    {
        m_pin.setItemText(P::PinEdit, pin);
        clickPin(P::CheckPinButton);
    }

    SimulatedKey m_key{SimulatedKey::Content::Demo};
    ScriptedInteraction m_script;
    TraceCapture m_traces;
    QWidget m_mainWindow;
    QWidget m_host;
    KeyDriverBinding m_binding;
    DeviceInfoPage m_deviceInfo;
    PinPage m_pin;
};

TEST_F(PagesWithSimulatedKeyTest, ViewShowsTheDemoKey)
{
    clickDeviceInfo(D::ViewButton);
    EXPECT_TRUE(m_script.boxes().empty());
    EXPECT_EQ(m_deviceInfo.itemText(D::ModeEdit), QStringLiteral("COMMON"));
    EXPECT_EQ(m_deviceInfo.itemText(D::UnitIdEdit), QStringLiteral("辽宁示范单位"));
    EXPECT_EQ(m_deviceInfo.itemText(D::UserIdEdit), QStringLiteral("演示用户 demo-01"));
    EXPECT_EQ(m_deviceInfo.itemText(D::PinHashEdit),
              QString::fromStdString(hashOf(QStringLiteral("730264"))));
    EXPECT_EQ(m_deviceInfo.itemText(D::ErrorTimesEdit), QStringLiteral("0"));
    EXPECT_EQ(m_deviceInfo.itemText(D::SealCountEdit), QStringLiteral("3"));
    EXPECT_TRUE(m_deviceInfo.controlAs<QCheckBox>(D::KeyRoleCheck)->isChecked());
}

TEST_F(PagesWithSimulatedKeyTest, SetStoresTheFormOnTheKey)
{
    clickDeviceInfo(D::ViewButton);
    m_deviceInfo.setItemText(D::ModeEdit, QStringLiteral("super"));
    m_deviceInfo.setItemText(D::UnitIdEdit, QStringLiteral("辽宁"));
    m_deviceInfo.setItemText(D::UserIdEdit, QString(240, QLatin1Char('u')));
    m_deviceInfo.setItemText(D::ErrorTimesEdit, QStringLiteral("2"));
    m_deviceInfo.setItemText(D::SealCountEdit, QStringLiteral("9"));
    m_deviceInfo.controlAs<QCheckBox>(D::LockCheck)->setChecked(true);
    m_deviceInfo.controlAs<QCheckBox>(D::KeyRoleCheck)->setChecked(false);
    m_script.answerBox(BoxResult::Yes);
    m_script.answerBox(BoxResult::Ok);

    clickDeviceInfo(D::SetButton);

    EXPECT_EQ(m_script.boxTexts(),
              QStringList({QStringLiteral("确定对信息进行设置吗?"), QStringLiteral("操作成功")}));
    const KeyBaseInfo key = readKey().base;
    EXPECT_EQ(key.mode, 3);
    EXPECT_EQ(key.errorTimes, 2);
    EXPECT_EQ(key.lockFlag, 1);
    EXPECT_EQ(field(key.unitId, sizeof key.unitId), "\xC1\xC9\xC4\xFE");
    EXPECT_EQ(field(key.userId, sizeof key.userId), std::string(240, 'u'));
    EXPECT_EQ(field(key.pinHash, sizeof key.pinHash), hashOf(QStringLiteral("730264")));
    // The seal count and the key role are the key's own: the page never writes them.
    EXPECT_EQ(key.sealNum, 3);
    EXPECT_EQ(key.keyRole, 101);
}

TEST_F(PagesWithSimulatedKeyTest, InitialiseLowFormatsTheKey)
{
    m_script.answerBox(BoxResult::Ok);
    changePin(QStringLiteral("730264"), QStringLiteral("abc"));
    m_script.clearRecords();
    m_deviceInfo.setItemText(D::ModeEdit, QStringLiteral("ADMIN"));
    m_script.answerBox(BoxResult::Yes);

    clickDeviceInfo(D::InitialiseButton);

    EXPECT_EQ(m_script.boxTexts(), QStringList{QStringLiteral("你确定对设备进行初始化操作吗？")});
    const KeyInfo key = readKey();
    int32_t sealCount = -1;
    EXPECT_EQ(m_binding.TLKeyReadSealNum(&sealCount), 0);
    EXPECT_EQ(sealCount, 0);
    for (const SealEntry& entry : key.sealTable)
        EXPECT_EQ(entry.inUse, 0) << entry.number;
    EXPECT_EQ(field(key.base.pinHash, sizeof key.base.pinHash), hashOf(QStringLiteral("730264")));
    EXPECT_TRUE(m_traces.lines().isEmpty());
}

TEST_F(PagesWithSimulatedKeyTest, UnpluggedKeyIsReportedAbsentAndLeftAlone)
{
    const KeyInfo before = readKey();
    m_deviceInfo.setItemText(D::ModeEdit, QStringLiteral("NONE"));
    m_key.unplug();
    m_script.answerBox(BoxResult::Ok);
    clickDeviceInfo(D::ViewButton);
    m_script.answerBox(BoxResult::Yes);
    m_script.answerBox(BoxResult::Ok);
    clickDeviceInfo(D::SetButton);
    m_script.answerBox(BoxResult::Yes);
    m_script.answerBox(BoxResult::Ok);
    clickDeviceInfo(D::InitialiseButton);
    m_key.plug();

    EXPECT_EQ(m_script.boxTexts(), QStringList({"设备不存在", "确定对信息进行设置吗?", "设备不存在",
                                                "你确定对设备进行初始化操作吗？", "设备不存在"}));
    const KeyInfo after = readKey();
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
}

TEST_F(PagesWithSimulatedKeyTest, SealManagementListsTheKeysSeals)
{
    int listed = -1;
    m_script.scriptModal([&](QDialog& dialog) {
        if (auto* combo = static_cast<SealListDialog&>(dialog).controlAs<QComboBox>(ids::sealList::SealCombo))
            listed = combo->count();
    });
    clickDeviceInfo(D::SealManagementButton);
    EXPECT_EQ(m_script.modalDialogs(), QStringList{QStringLiteral("talvo::SealListDialog")});
    EXPECT_EQ(listed, 3);
}

TEST_F(PagesWithSimulatedKeyTest, PinChangeReplacesTheStoredHash)
{
    for (int box = 0; box < 5; ++box)
        m_script.answerBox(BoxResult::Ok);
    changePin(QStringLiteral("111111"), QStringLiteral("abc"));
    EXPECT_EQ(field(readKey().base.pinHash, TL_PIN_HASH_SIZE), hashOf(QStringLiteral("730264")));

    changePin(QStringLiteral("730264"), QStringLiteral("口令1"));
    EXPECT_EQ(field(readKey().base.pinHash, TL_PIN_HASH_SIZE), hashOf(QStringLiteral("口令1")));

    checkPin(QStringLiteral("口令1"));
    checkPin(QStringLiteral("730264"));
    clickPin(P::ReadHashButton);
    EXPECT_EQ(m_script.boxTexts(), QStringList({"密码不正确!", "修改密码成功!", "ok", "error",
                                                QString::fromStdString(hashOf(QStringLiteral("口令1")))}));
}

TEST_F(PagesWithSimulatedKeyTest, IssueOperatorAndCertificateStoreChangeTheKey)
{
    clickPin(P::IssueOperatorButton);
    const KeyBaseInfo key = readKey().base;
    EXPECT_EQ(key.mode, 3);
    EXPECT_EQ(field(key.unitId, sizeof key.unitId), "\xC1\xC9\xC4\xFE");
    EXPECT_EQ(field(key.userId, sizeof key.userId), "vudeze");
    EXPECT_EQ(key.initFlag, 1);

    for (int box = 0; box < 3; ++box)
        m_script.answerBox(BoxResult::Ok);
    clickPin(P::CountCertsButton);
    clickPin(P::RegisterCertsButton);
    clickPin(P::CountCertsButton);
    clickPin(P::RemoveCertsButton);
    clickPin(P::CountCertsButton);
    EXPECT_EQ(m_script.boxTexts(), QStringList({"0", "1", "0"}));
}

} // namespace
} // namespace talvo
