#include "pages/DeviceInfoPage.h"
#include "PageTestSupport.h"
#include "device/KeyDriverBinding.h"
#include "key/DeviceInfoFields.h"
#include "platform/core/Cp936Codec.h"
#include "platform/core/DebugTrace.h"
#include "platform/widgets/TextLimit.h"
#include "resources/ControlIds.h"
#include "support/ScriptedInteraction.h"
#include "support/Typing.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstring>

namespace talvo {
namespace {

using testing::DriverCall;
using testing::recordingDriver;
namespace P = ids::deviceInfo;

const QString kConfirmSet = QStringLiteral("确定对信息进行设置吗?");
const QString kConfirmInitialise = QStringLiteral("你确定对设备进行初始化操作吗？");

class DeviceInfoPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        recordingDriver().reset();
        setMainWindow(&m_mainWindow);
        m_page.createAsChild(&m_host);
        m_page.setBinding(&m_binding);
    }
    void TearDown() override { setMainWindow(nullptr); }

    void click(int id) { testing::clickButton(m_page, id); }
    QString text(int id) const { return m_page.itemText(id); }
    void setText(int id, const QString& value) { m_page.setItemText(id, value); }
    Qt::CheckState check(int id) const { return m_page.controlAs<QCheckBox>(id)->checkState(); }
    void setCheck(int id, bool on) { m_page.controlAs<QCheckBox>(id)->setChecked(on); }

    void fillForm()
    {
        setText(P::ModeEdit, QStringLiteral("COMMON"));
        setText(P::PinHashEdit, QStringLiteral("ABCDEF"));
        setText(P::UnitIdEdit, QStringLiteral("unit"));
        setText(P::UserIdEdit, QStringLiteral("用户"));
        setText(P::ErrorTimesEdit, QStringLiteral("2"));
        setText(P::SealCountEdit, QStringLiteral("4"));
        setCheck(P::FactoryCheck, true);
        setCheck(P::LockCheck, true);
    }
    QStringList formState() const
    {
        QStringList state;
        for (int id :
             {P::ModeEdit, P::PinHashEdit, P::UnitIdEdit, P::UserIdEdit, P::ErrorTimesEdit, P::SealCountEdit})
            state << text(id);
        for (int id : {P::FactoryCheck, P::FormatCheck, P::InitCheck, P::LockCheck, P::TimeControlCheck,
                       P::KeyRoleCheck})
            state << QString::number(check(id));
        return state;
    }
    KeyBaseInfo& keyRecord() { return recordingDriver().keyInfo.base; }
    // The one record that reached TLKeyWriteKeyBaseInfo, as raw bytes.
    std::string writtenRecord() const
    {
        std::string found;
        for (const DriverCall& call : recordingDriver().calls)
            if (call.name == "TLKeyWriteKeyBaseInfo") {
                EXPECT_TRUE(found.empty()) << "written twice";
                found = call.arguments.at(0);
            }
        return found;
    }
    void expectOnlyBox(const QString& text, const QString& caption, BoxIcon icon, std::size_t index = 0)
    {
        ASSERT_EQ(m_script.boxes().size(), index + 1)
            << m_script.boxTexts().join(QLatin1Char('|')).toStdString();
        const MessageBoxRequest& box = m_script.boxes()[index];
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.caption, caption);
        EXPECT_EQ(box.icon, icon);
        EXPECT_EQ(box.owner, &m_page);
        EXPECT_EQ(box.buttons, BoxButtons::Ok);
    }

    ScriptedInteraction m_script;
    TraceCapture m_traces;
    QWidget m_mainWindow;
    QWidget m_host;
    KeyDriverBinding m_binding;
    DeviceInfoPage m_page;
};

TEST_F(DeviceInfoPageTest, TextLimitsCountBytes)
{
    EXPECT_EQ(textLimitBytes(m_page.controlAs<QLineEdit>(P::ModeEdit)), 10u);
    EXPECT_EQ(textLimitBytes(m_page.controlAs<QLineEdit>(P::UnitIdEdit)), 40u);
    EXPECT_EQ(textLimitBytes(m_page.controlAs<QLineEdit>(P::UserIdEdit)), 240u);
    EXPECT_EQ(textLimitBytes(m_page.controlAs<QLineEdit>(P::ErrorTimesEdit)), 1u);
    EXPECT_EQ(textLimitBytes(m_page.controlAs<QLineEdit>(P::SealCountEdit)), 10u);
    EXPECT_EQ(textLimitBytes(m_page.controlAs<QLineEdit>(P::PinHashEdit)), 0u);

    testing::typeText(m_page.controlAs<QLineEdit>(P::ModeEdit), QStringLiteral("管理员admin12"));
    EXPECT_EQ(text(P::ModeEdit), QStringLiteral("管理员admi"));
    EXPECT_TRUE(recordingDriver().calls.empty());
}

// Each key button, with the key absent or no binding at all: one box, nothing else.
struct AbsentCase {
    const char* name;
    int button;
    bool confirmed;
    bool traced;
};

void PrintTo(const AbsentCase& c, std::ostream* out)
{
    *out << c.name;
}

class DeviceInfoPageAbsentTest : public DeviceInfoPageTest,
                                 public ::testing::WithParamInterface<AbsentCase> {};

TEST_P(DeviceInfoPageAbsentTest, ShowsOnlyDeviceAbsentAndChangesNothing)
{
    const AbsentCase& c = GetParam();
    for (bool withBinding : {true, false}) {
        SCOPED_TRACE(withBinding ? "key unplugged" : "no binding");
        recordingDriver().reset();
        recordingDriver().present = false;
        m_page.setBinding(withBinding ? &m_binding : nullptr);
        m_script.clearRecords();
        m_traces.clear();
        fillForm();
        const QStringList before = formState();
        if (c.confirmed)
            m_script.answerBox(BoxResult::Yes);
        m_script.answerBox(BoxResult::Ok);
        QStringList tracesAtBox;
        m_script.onBox([&](const MessageBoxRequest& box) {
            if (box.text == QStringLiteral("设备不存在"))
                tracesAtBox = m_traces.lines();
        });

        click(c.button);

        EXPECT_EQ(tracesAtBox, c.traced ? QStringList{QStringLiteral("不存在")} : QStringList{})
            << "the trace comes before the box";
        EXPECT_TRUE(m_script.allScriptsUsed());

        expectOnlyBox(QStringLiteral("设备不存在"), QStringLiteral("提示"), BoxIcon::Information,
                      c.confirmed ? 1 : 0);
        EXPECT_EQ(formState(), before);
        const std::vector<DriverCall> expected =
            withBinding ? std::vector<DriverCall>{{"TLKeyIsExist", {"4"}}} : std::vector<DriverCall>{};
        EXPECT_EQ(recordingDriver().calls, expected);
        EXPECT_EQ(m_traces.lines(), c.traced ? QStringList{QStringLiteral("不存在")} : QStringList{});
        EXPECT_TRUE(m_script.modalDialogs().isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(KeyButtons, DeviceInfoPageAbsentTest,
                         ::testing::Values(AbsentCase{"View", P::ViewButton, false, false},
                                           AbsentCase{"Set", P::SetButton, true, false},
                                           AbsentCase{"Initialise", P::InitialiseButton, true, true},
                                           AbsentCase{"SealManagement", P::SealManagementButton, false,
                                                      false}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(DeviceInfoPageTest, NoToEitherConfirmationDoesNothingAtAll)
{
    for (int button : {P::SetButton, P::InitialiseButton}) {
        m_script.clearRecords();
        fillForm();
        const QStringList before = formState();
        m_script.answerBox(BoxResult::No);
        click(button);

        ASSERT_EQ(m_script.boxes().size(), 1u);
        const MessageBoxRequest& box = m_script.boxes()[0];
        EXPECT_EQ(box.text, button == P::SetButton ? kConfirmSet : kConfirmInitialise);
        EXPECT_EQ(box.caption, applicationName());
        EXPECT_EQ(box.owner, &m_mainWindow);
        EXPECT_EQ(box.icon, BoxIcon::Warning);
        EXPECT_EQ(box.buttons, BoxButtons::YesNo);
        EXPECT_EQ(box.defaultButton, BoxResult::No);
        EXPECT_EQ(formState(), before);
    }
    EXPECT_TRUE(recordingDriver().calls.empty());
    EXPECT_TRUE(m_traces.lines().isEmpty());
}

TEST_F(DeviceInfoPageTest, ViewFillsTheFormFromTheKey)
{
    KeyBaseInfo& key = keyRecord();
    key.factoryFlag = 1;
    key.formatFlag = 5; // out of range: shown clear
    key.initFlag = 2;   // undecided
    key.lockFlag = 0;
    key.timeControlFlag = 1;
    key.keyRole = 101;
    key.errorTimes = -1;
    key.mode = KeyModeAdmin;
    key.sealNum = 9; // the count the driver reports wins
    recordingDriver().sealCount = 5;
    std::memset(key.pinHash, 'A', 40); // unterminated within the field
    copyToField(testing::cp936(QStringLiteral("辽宁省单位")), key.unitId);
    copyToField(testing::cp936(QStringLiteral("vudeze")), key.userId);

    click(P::ViewButton);

    EXPECT_TRUE(m_script.boxes().empty());
    EXPECT_EQ(text(P::ModeEdit), QStringLiteral("ADMIN"));
    EXPECT_EQ(text(P::PinHashEdit), QString(40, QLatin1Char('A')));
    EXPECT_EQ(text(P::UnitIdEdit), QStringLiteral("辽宁省单位"));
    EXPECT_EQ(text(P::UserIdEdit), QStringLiteral("vudeze"));
    EXPECT_EQ(text(P::ErrorTimesEdit), QStringLiteral("4294967295"));
    EXPECT_EQ(text(P::SealCountEdit), QStringLiteral("5"));
    EXPECT_EQ(check(P::FactoryCheck), Qt::Checked);
    EXPECT_EQ(check(P::FormatCheck), Qt::Unchecked);
    EXPECT_EQ(check(P::InitCheck), Qt::PartiallyChecked);
    EXPECT_EQ(check(P::LockCheck), Qt::Unchecked);
    EXPECT_EQ(check(P::TimeControlCheck), Qt::Checked);
    EXPECT_EQ(check(P::KeyRoleCheck), Qt::Checked);
    EXPECT_EQ(testing::callNames(),
              (std::vector<std::string>{"TLKeyIsExist", "TLKeyReadKeyInfo", "TLKeyReadSealNum"}));
}

TEST_F(DeviceInfoPageTest, ViewShowsModeNamesAndKeyRoles)
{
    const struct {
        int32_t mode;
        const char* name;
        int32_t keyRole;
        Qt::CheckState role;
    } cases[] = {
        {0, "NONE", 0, Qt::Checked},   {1, "COMMON", 101, Qt::Checked}, {3, "SUPER", 102, Qt::Unchecked},
        {4, "NONE", 1, Qt::Unchecked}, {-1, "NONE", -1, Qt::Unchecked},
    };
    for (const auto& c : cases) {
        keyRecord().mode = c.mode;
        keyRecord().keyRole = c.keyRole;
        click(P::ViewButton);
        EXPECT_EQ(text(P::ModeEdit), QString::fromLatin1(c.name)) << c.mode;
        EXPECT_EQ(check(P::KeyRoleCheck), c.role) << c.keyRole;
    }
}

TEST_F(DeviceInfoPageTest, ViewFailureShowsTheFailingCallsStatusAndKeepsTheForm)
{
    const struct {
        const char* function;
        int32_t status;
        const char* text;
    } cases[] = {
        {"TLKeyReadKeyInfo", 2, "设备访问失败。"},
        {"TLKeyReadSealNum", 5, "API函数调用失败。"},
        {"TLKeyReadSealNum", -3, "未知的错误代码"},
    };
    keyRecord().mode = KeyModeSuper;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.function);
        m_script.clearRecords();
        recordingDriver().failures = {{c.function, c.status}};
        fillForm();
        const QStringList before = formState();
        m_script.answerBox(BoxResult::Ok);
        click(P::ViewButton);
        expectOnlyBox(QString::fromUtf8(c.text), QStringLiteral("错误"), BoxIcon::Error);
        EXPECT_EQ(formState(), before);
    }
}

TEST_F(DeviceInfoPageTest, SetWritesTheWholeRecordByteForByte)
{
    setText(P::ModeEdit, QStringLiteral("SuperUser"));
    setText(P::PinHashEdit, QString(40, QLatin1Char('F')) + QStringLiteral("beyond"));
    setText(P::UnitIdEdit, QStringLiteral("辽宁"));
    setText(P::UserIdEdit, QString(240, QLatin1Char('u')));
    setText(P::ErrorTimesEdit, QStringLiteral("4294967295"));
    setText(P::SealCountEdit, QStringLiteral("7"));
    for (int id : {P::FactoryCheck, P::InitCheck, P::TimeControlCheck, P::KeyRoleCheck})
        setCheck(id, true);
    m_script.answerBox(BoxResult::Yes);
    m_script.answerBox(BoxResult::Ok);

    click(P::SetButton);

    expectOnlyBox(QStringLiteral("操作成功"), QStringLiteral("提示"), BoxIcon::Information, 1);
    std::string expected(sizeof(KeyBaseInfo), '\0');
    expected[0] = 1; // factory
    expected[2] = 1; // init
    std::memset(expected.data() + 4, 0xFF, 4);
    expected[8] = 3;
    expected.replace(12, 40, std::string(40, 'F'));
    expected.replace(53, 4, "\xC1\xC9\xC4\xFE");
    expected.replace(94, 240, std::string(240, 'u'));
    const std::string written = writtenRecord();
    ASSERT_EQ(written.size(), 348u);
    EXPECT_EQ(written, expected);
    EXPECT_EQ(written[52], '\0');
    EXPECT_EQ(written[334], '\0');
    EXPECT_EQ(testing::callNames(), (std::vector<std::string>{"TLKeyIsExist", "TLKeyWriteKeyBaseInfo"}));
}

TEST_F(DeviceInfoPageTest, SetReadsModeAndEmptyCounter)
{
    const struct {
        const char* typed;
        int32_t mode;
    } cases[] = {{"admin", 2}, {"none", 0}, {"Common", 1}};
    for (const auto& c : cases) {
        recordingDriver().calls.clear();
        setText(P::ModeEdit, QString::fromLatin1(c.typed));
        setText(P::ErrorTimesEdit, QStringLiteral("-"));
        m_script.answerBox(BoxResult::Yes);
        m_script.answerBox(BoxResult::Ok);
        click(P::SetButton);
        const std::string written = writtenRecord();
        ASSERT_EQ(written.size(), 348u) << c.typed;
        KeyBaseInfo record;
        std::memcpy(&record, written.data(), sizeof record);
        EXPECT_EQ(record.mode, c.mode) << c.typed;
        EXPECT_EQ(record.errorTimes, 0) << c.typed;
    }
}

TEST_F(DeviceInfoPageTest, SetWithUnknownModeWritesNothing)
{
    for (const char* typed : {"", "ROOT", "ADM"}) {
        m_script.clearRecords();
        recordingDriver().calls.clear();
        setText(P::ModeEdit, QString::fromLatin1(typed));
        m_script.answerBox(BoxResult::Yes);
        m_script.answerBox(BoxResult::Ok);
        click(P::SetButton);
        expectOnlyBox(QStringLiteral("模式字符串输入有错误"), QStringLiteral("提示"), BoxIcon::Information,
                      1);
        EXPECT_EQ(testing::callNames(), std::vector<std::string>{"TLKeyIsExist"}) << typed;
    }
}

TEST_F(DeviceInfoPageTest, SetFailureShowsStatusText)
{
    recordingDriver().failures = {{"TLKeyWriteKeyBaseInfo", 6}};
    setText(P::ModeEdit, QStringLiteral("ADMIN"));
    m_script.answerBox(BoxResult::Yes);
    m_script.answerBox(BoxResult::Ok);
    click(P::SetButton);
    expectOnlyBox(QStringLiteral("设备空间不足。"), QStringLiteral("错误"), BoxIcon::Error, 1);
}

TEST_F(DeviceInfoPageTest, UndecidedFlagWritesZeroAndBecomesTwoStateWhenClicked)
{
    keyRecord().formatFlag = 2;
    keyRecord().lockFlag = 2;
    click(P::ViewButton);
    ASSERT_EQ(check(P::FormatCheck), Qt::PartiallyChecked);

    auto* lock = m_page.controlAs<QCheckBox>(P::LockCheck);
    lock->click();
    EXPECT_EQ(lock->checkState(), Qt::Checked);
    lock->click();
    lock->click();
    EXPECT_EQ(lock->checkState(), Qt::Checked) << "a clicked box has only two states";

    m_script.answerBox(BoxResult::Yes);
    m_script.answerBox(BoxResult::Ok);
    click(P::SetButton);
    const std::string written = writtenRecord();
    ASSERT_EQ(written.size(), 348u);
    EXPECT_EQ(written[1], 0) << "undecided format flag";
    EXPECT_EQ(written[3], 1) << "lock flag ticked by the operator";
    // A later read of a clear flag leaves no undecided state behind.
    click(P::ViewButton);
    EXPECT_FALSE(m_page.controlAs<QCheckBox>(P::FormatCheck)->isTristate());
}

TEST_F(DeviceInfoPageTest, InitialiseHashesTheFixedPinThenFormats)
{
    fillForm();
    const QStringList before = formState();
    m_script.answerBox(BoxResult::Yes);
    click(P::InitialiseButton);

    EXPECT_EQ(m_script.boxes().size(), 1u) << "only the confirmation";
    EXPECT_EQ(recordingDriver().calls,
              (std::vector<DriverCall>{
                  {"TLKeyIsExist", {"4"}}, {"TLKeyCalcHash", {"730264", "6"}}, {"TLKeyLowFormat", {}}}));
    EXPECT_EQ(formState(), before);
    EXPECT_TRUE(m_traces.lines().isEmpty());
}

TEST_F(DeviceInfoPageTest, InitialiseStopsOnUnknownModeBeforeFormatting)
{
    m_script.answerBox(BoxResult::Yes);
    m_script.answerBox(BoxResult::Ok);
    QStringList tracesAtBox{QStringLiteral("no box")};
    m_script.onBox([&](const MessageBoxRequest& box) {
        if (box.text == QStringLiteral("模式字符串输入有错误"))
            tracesAtBox = m_traces.lines();
    });
    click(P::InitialiseButton);
    expectOnlyBox(QStringLiteral("模式字符串输入有错误"), QStringLiteral("错误"), BoxIcon::Error, 1);
    EXPECT_TRUE(tracesAtBox.isEmpty()) << "the box comes before the trace";
    EXPECT_TRUE(m_script.allScriptsUsed());
    EXPECT_EQ(m_traces.lines(), QStringList{QStringLiteral("模式字符串输入有错误")});
    EXPECT_EQ(testing::callNames(), (std::vector<std::string>{"TLKeyIsExist", "TLKeyCalcHash"}));
}

TEST_F(DeviceInfoPageTest, InitialiseFailureTracesThenShowsStatus)
{
    recordingDriver().failures = {{"TLKeyLowFormat", 2}, {"TLKeyCalcHash", 5}};
    setText(P::ModeEdit, QStringLiteral("none"));
    m_script.answerBox(BoxResult::Yes);
    m_script.answerBox(BoxResult::Ok);
    QStringList tracesAtBox;
    m_script.onBox([&](const MessageBoxRequest&) { tracesAtBox = m_traces.lines(); });
    click(P::InitialiseButton);
    expectOnlyBox(QStringLiteral("设备访问失败。"), QStringLiteral("错误"), BoxIcon::Error, 1);
    EXPECT_EQ(tracesAtBox, QStringList{QStringLiteral("lowformat执行失败")});
}

TEST_F(DeviceInfoPageTest, SealManagementOpensTheListOnThePagesBindingAndKeepsTheForm)
{
    for (bool filled : {false, true}) {
        m_script.clearRecords();
        recordingDriver().calls.clear();
        if (filled)
            fillForm();
        const QStringList before = formState();
        const QWindow* owner = nullptr;
        m_script.scriptModal([&](QDialog& shown) { owner = shown.windowHandle()->transientParent(); });
        click(P::SealManagementButton);
        EXPECT_EQ(m_script.modalDialogs(), QStringList{QStringLiteral("talvo::SealListDialog")});
        EXPECT_TRUE(m_script.allScriptsUsed());
        EXPECT_EQ(owner, m_mainWindow.windowHandle()) << "the main window owns the seal list";
        // The list read the key through the binding it was handed.
        ASSERT_GE(recordingDriver().calls.size(), 2u);
        EXPECT_EQ(recordingDriver().calls[0], (DriverCall{"TLKeyIsExist", {"4"}}));
        EXPECT_EQ(recordingDriver().calls[1].name, "TLKeyReadKeyInfo");
        EXPECT_EQ(formState(), before);
    }
}

TEST_F(DeviceInfoPageTest, ClearEmptiesTheFormWithoutTouchingTheKey)
{
    keyRecord().formatFlag = 2;
    click(P::ViewButton);
    fillForm();
    recordingDriver().calls.clear();
    click(P::ClearButton);
    for (int id :
         {P::ModeEdit, P::PinHashEdit, P::UnitIdEdit, P::UserIdEdit, P::ErrorTimesEdit, P::SealCountEdit})
        EXPECT_TRUE(text(id).isEmpty()) << id;
    for (int id :
         {P::FactoryCheck, P::FormatCheck, P::InitCheck, P::LockCheck, P::TimeControlCheck, P::KeyRoleCheck})
        EXPECT_EQ(check(id), Qt::Unchecked) << id;
    EXPECT_TRUE(recordingDriver().calls.empty());
    EXPECT_TRUE(m_script.boxes().empty());
}

} // namespace
} // namespace talvo
