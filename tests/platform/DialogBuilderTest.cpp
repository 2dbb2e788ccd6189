#include "platform/widgets/DialogBuilder.h"
#include "platform/widgets/TabControl.h"
#include "resources/DialogTemplates.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace talvo;

TEST(DialogUnits, MulDivRoundsHalfAwayFromZero)
{
    EXPECT_EQ(dialogUnitsToPixels(10, 7, 4), 18);  // 17.5
    EXPECT_EQ(dialogUnitsToPixels(9, 7, 4), 16);   // 15.75
    EXPECT_EQ(dialogUnitsToPixels(14, 17, 8), 30); // 29.75
    EXPECT_EQ(dialogUnitsToPixels(-10, 7, 4), -18);
}

TEST(DialogUnits, BaseUnitsFollowTheWindowsRule)
{
    const QFont font = dialogFont("宋体", 9);
    EXPECT_EQ(font.pixelSize(), 12) << "9 points at 96 dots per inch";
    const DialogBaseUnits units = dialogBaseUnits(font);
    const QFontMetrics metrics(font);
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    EXPECT_EQ(units.x, (letters / 26 + 1) / 2);
    EXPECT_EQ(units.y, metrics.height());
    EXPECT_GT(units.x, 3);
}

TEST(DialogBuilder, ControlsTakeTheirKindsIdsAndPixelRectangles)
{
    QWidget window;
    const DialogTemplate& page = dialogTemplate(IDD_DEVICE_INFO);
    const BuiltControls built = DialogBuilder::build(page, &window);
    const DialogBaseUnits& units = built.baseUnits;

    auto* mode = qobject_cast<QLineEdit*>(built.byId.value(ids::deviceInfo::ModeEdit));
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(mode->geometry(), dialogRectToPixels(units, 53, 14, 146, 14));
    auto* seals = qobject_cast<QPushButton*>(built.byId.value(ids::deviceInfo::SealManagementButton));
    ASSERT_NE(seals, nullptr);
    EXPECT_TRUE(seals->isDefault());
    EXPECT_EQ(seals->text(), QStringLiteral("签章管理"));
    EXPECT_NE(qobject_cast<QCheckBox*>(built.byId.value(ids::deviceInfo::KeyRoleCheck)), nullptr);
    for (QWidget* widget : built.inOrder) {
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            EXPECT_EQ(label->textFormat(), Qt::PlainText) << "texts from the key are never markup";
        }
    }
    EXPECT_EQ(built.clientSize,
              QSize(dialogUnitsToPixels(282, units.x, 4), dialogUnitsToPixels(171, units.y, 8)));
    EXPECT_EQ(built.inOrder.size(), static_cast<qsizetype>(page.controls.size()));
}

TEST(DialogBuilder, TabOrderIsTheTemplateOrder)
{
    QWidget window;
    const BuiltControls built = DialogBuilder::build(dialogTemplate(IDD_LOGIN), &window);
    QWidget* password = built.byId.value(ids::login::PasswordEdit);
    QWidget* ok = built.byId.value(IDOK);
    QWidget* cancel = built.byId.value(IDCANCEL);
    ASSERT_TRUE(password && ok && cancel);
    auto nextFocusable = [](QWidget* widget) {
        QWidget* next = widget->nextInFocusChain();
        while (next && !(next->focusPolicy() & Qt::TabFocus))
            next = next->nextInFocusChain();
        return next;
    };
    EXPECT_EQ(nextFocusable(password), ok);
    EXPECT_EQ(nextFocusable(ok), cancel);
}

// The id of the template control that holds the widget, or -1.
int controlIdOf(const QWidget* widget)
{
    for (; widget; widget = widget->parentWidget())
        if (widget->objectName().startsWith(QStringLiteral("control")))
            return widget->objectName().mid(7).toInt();
    return -1;
}

struct TabStops {
    int templateId;
    std::vector<int> ids;
};

// Tab and Shift+Tab go round every push button, field and the tab strip in template order;
// no control keeps the focus to itself.
TEST(DialogBuilder, TabReachesEveryButtonInTemplateOrderAndTrapsNowhere)
{
    namespace D = ids::deviceInfo;
    namespace C = ids::csp;
    namespace P = ids::pin;
    namespace S = ids::sealList;
    const TabStops cases[] = {
        {IDD_LOGIN, {ids::login::PasswordEdit, IDOK, IDCANCEL}},
        {IDD_MAIN,
         {ids::main::TabControl, ids::main::SerialEdit, ids::main::RefreshButton, ids::main::ExitButton}},
        {IDD_SEAL_LIST, {S::SealCombo, S::RefreshButton, S::AddButton, S::DeleteButton, S::WriteTimeButton}},
        {IDD_SEAL_NAME, {IDOK, IDCANCEL, ids::sealName::NameEdit, ids::sealName::Calendar}},
        {IDD_SEAL_TIME, {IDOK, IDCANCEL, ids::sealTime::Calendar}},
        {IDD_CERT_EXPORT,
         {ids::certExport::PathEdit, ids::certExport::BrowseButton, ids::certExport::ExportButton,
          ids::certExport::CancelButton}},
        {IDD_PIN,
         {P::OldPasswordEdit, P::NewPasswordEdit, P::ConfirmationEdit, P::SetPasswordButton,
          P::ReadHashButton, P::PinEdit, P::CheckPinButton, P::InformationEdit, P::RemoveCertsButton,
          P::RegisterCertsButton, P::CountCertsButton, P::IssueOperatorButton}},
        {IDD_DEVICE_INFO,
         {D::ModeEdit, D::PinHashEdit, D::UnitIdEdit, D::UserIdEdit, D::ErrorTimesEdit, D::SealCountEdit,
          D::ClearButton, D::InitialiseButton, D::SetButton, D::ViewButton, D::SealManagementButton,
          D::FactoryCheck, D::InitCheck, D::FormatCheck, D::LockCheck, D::TimeControlCheck, D::KeyRoleCheck}},
        {IDD_CSP, {C::PinEdit,          C::HashButton,     C::ClearButton,      C::HashEdit,
                   C::ExportCertButton, C::ViewCertButton, C::SignatureEdit,    C::CertTextButton,
                   C::CspNameButton,    C::VerifyButton,   C::OriginalFileEdit, C::OriginalFileBrowse,
                   C::SavePathEdit,     C::SavePathBrowse, C::GenerateButton,   C::SecureFileEdit,
                   C::SecureFileBrowse, C::ParseButton,    C::TargetFileEdit,   C::TargetFileBrowse,
                   C::UserKeyButton}},
    };
    for (const TabStops& c : cases) {
        SCOPED_TRACE(c.templateId);
        QWidget window;
        const BuiltControls built = DialogBuilder::build(dialogTemplate(c.templateId), &window);
        if (auto* tabs = qobject_cast<TabControl*>(built.byId.value(ids::main::TabControl)))
            tabs->insertItem(0, QStringLiteral("a"));
        window.show();
        for (const bool forward : {true, false}) {
            SCOPED_TRACE(forward ? "Tab" : "Shift+Tab");
            built.byId.value(c.ids.front())->setFocus();
            std::vector<int> visited;
            for (std::size_t i = 0; i <= c.ids.size(); ++i) {
                visited.push_back(controlIdOf(window.focusWidget()));
                QTest::keyClick(window.focusWidget(), forward ? Qt::Key_Tab : Qt::Key_Backtab,
                                forward ? Qt::NoModifier : Qt::ShiftModifier);
            }
            std::vector<int> expected = c.ids;
            if (!forward)
                std::reverse(expected.begin() + 1, expected.end());
            expected.push_back(c.ids.front());
            EXPECT_EQ(visited, expected);
        }
    }
}

TEST(DialogBuilder, HiddenControlsStartHiddenAndDropDownsTakeTheirOwnHeight)
{
    QWidget window;
    const BuiltControls pin = DialogBuilder::build(dialogTemplate(IDD_PIN), &window);
    EXPECT_FALSE(pin.byId.value(ids::pin::DriverDialogButton)->isVisibleTo(&window));
    EXPECT_TRUE(pin.byId.value(ids::pin::CheckPinButton)->isVisibleTo(&window));

    QWidget other;
    const BuiltControls seals = DialogBuilder::build(dialogTemplate(IDD_SEAL_LIST), &other);
    auto* combo = qobject_cast<QComboBox*>(seals.byId.value(ids::sealList::SealCombo));
    ASSERT_NE(combo, nullptr);
    EXPECT_LT(combo->height(), dialogUnitsToPixels(98, seals.baseUnits.y, 8));
}

// What a screen reader says for a field: its label, wherever the template lists it.
TEST(DialogBuilder, FieldsAreNamedByTheirLabels)
{
    namespace D = ids::deviceInfo;
    namespace C = ids::csp;
    namespace P = ids::pin;
    const struct {
        int dialog;
        int control;
        const char* name;
        const char* part = nullptr; // a control's own child, by Qt's object name
    } cases[] = {
        {IDD_LOGIN, ids::login::PasswordEdit, "请输入密码："},
        {IDD_MAIN, ids::main::SerialEdit, "设备序列号"},
        {IDD_DEVICE_INFO, D::ModeEdit, "模式："},
        {IDD_DEVICE_INFO, D::PinHashEdit, "口令哈希："},
        {IDD_DEVICE_INFO, D::UnitIdEdit, "单位ID："},
        {IDD_DEVICE_INFO, D::UserIdEdit, "用户ID："},
        {IDD_DEVICE_INFO, D::ErrorTimesEdit, "错误次数："},
        {IDD_DEVICE_INFO, D::SealCountEdit, "签章个数："},
        {IDD_CSP, C::PinEdit, "口令："},
        {IDD_CSP, C::HashEdit, "哈希值："},
        {IDD_CSP, C::SignatureEdit, "签名信息："},
        {IDD_CSP, C::OriginalFileEdit, "原始文件："},
        {IDD_CSP, C::SavePathEdit, "保存路径："},
        {IDD_CSP, C::SecureFileEdit, "安全文件："},
        {IDD_CSP, C::TargetFileEdit, "目标文件："},
        {IDD_PIN, P::OldPasswordEdit, "旧密码："},
        {IDD_PIN, P::NewPasswordEdit, "新密码："},
        {IDD_PIN, P::ConfirmationEdit, "密码确认："},
        {IDD_PIN, P::PinEdit, "输入PIN码："},
        // The label over it, not the group's title.
        {IDD_PIN, P::InformationEdit, "操作信息提示："},
        // By its label, whatever item it shows.
        {IDD_SEAL_LIST, ids::sealList::SealCombo, "请选择签章"},
        // Without a label: the group box around them, else the window's caption.
        {IDD_SEAL_NAME, ids::sealName::NameEdit, "请输入图章名称"},
        {IDD_CERT_EXPORT, ids::certExport::PathEdit, "请选择导出证书保存路径"},
        // A "…" button by the field it fills.
        {IDD_CSP, C::OriginalFileBrowse, "原始文件："},
        {IDD_CSP, C::SavePathBrowse, "保存路径："},
        {IDD_CSP, C::SecureFileBrowse, "安全文件："},
        {IDD_CSP, C::TargetFileBrowse, "目标文件："},
        // The calendars, the day table that has the focus and the parts Qt leaves nameless.
        {IDD_SEAL_NAME, ids::sealName::Calendar, "请选择签章过期时间", "qt_calendar_calendarview"},
        {IDD_SEAL_NAME, ids::sealName::Calendar, "上个月", "qt_calendar_prevmonth"},
        {IDD_SEAL_NAME, ids::sealName::Calendar, "下个月", "qt_calendar_nextmonth"},
        {IDD_SEAL_NAME, ids::sealName::Calendar, "年份", "qt_calendar_yearedit"},
        {IDD_SEAL_TIME, ids::sealTime::Calendar, "签章时间", "qt_calendar_calendarview"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.control << " " << (c.part ? c.part : ""));
        QWidget window;
        const BuiltControls built = DialogBuilder::build(dialogTemplate(c.dialog), &window);
        QWidget* control = built.byId.value(c.control);
        if (auto* combo = qobject_cast<QComboBox*>(control))
            combo->addItem(QStringLiteral("101 合同章"));
        if (c.part)
            control = control->findChild<QWidget*>(QLatin1String(c.part));
        ASSERT_NE(control, nullptr);
        QAccessibleInterface* field = QAccessible::queryAccessibleInterface(control);
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->text(QAccessible::Name), QString::fromUtf8(c.name));
    }
}

// The item a drop-down list shows is its value, and it stays a combo box.
TEST(DialogBuilder, DropDownListSaysItsItemAsItsValue)
{
    QWidget window;
    const BuiltControls built = DialogBuilder::build(dialogTemplate(IDD_SEAL_LIST), &window);
    auto* combo = qobject_cast<QComboBox*>(built.byId.value(ids::sealList::SealCombo));
    ASSERT_NE(combo, nullptr);
    combo->addItem(QStringLiteral("101 合同章"));
    combo->addItem(QStringLiteral("102 公章"));
    combo->setCurrentIndex(1);
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(combo);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::ComboBox);
    EXPECT_EQ(list->text(QAccessible::Value), QStringLiteral("102 公章"));
    ASSERT_EQ(list->childCount(), 1);
    EXPECT_EQ(list->child(0)->object(), combo->view());
    EXPECT_EQ(list->indexOfChild(list->child(0)), 0);
}

// On Windows a flat button keeps a thin frame, and its face sinks while it is held down; Qt's
// draws no frame at all and reads as a label.
TEST(DialogBuilder, FlatButtonsAreFramedAndSinkWhenPressed)
{
    QWidget window;
    const BuiltControls csp = DialogBuilder::build(dialogTemplate(IDD_CSP), &window);
    for (int id : {ids::csp::ExportCertButton, ids::csp::ViewCertButton, ids::csp::CertTextButton,
                   ids::csp::VerifyButton}) {
        auto* button = qobject_cast<QPushButton*>(csp.byId.value(id));
        ASSERT_TRUE(button && button->isFlat());
        const QPalette& palette = button->palette();
        for (bool pressed : {false, true}) {
            button->setDown(pressed);
            const QImage image = button->grab().toImage();
            const int right = image.width() - 1;
            const int bottom = image.height() - 1;
            for (const QPoint edge : {QPoint(right / 2, 0), QPoint(right / 2, bottom), QPoint(0, bottom / 2),
                                      QPoint(right, bottom / 2)})
                EXPECT_EQ(image.pixelColor(edge), palette.color(QPalette::WindowText))
                    << id << (pressed ? " pressed at " : " at ") << edge.x() << "," << edge.y();
            const QColor face = image.pixelColor(3, 3);
            if (!pressed) {
                EXPECT_EQ(face, palette.color(QPalette::Button)) << id;
                continue;
            }
            EXPECT_LT(face.lightness(), palette.color(QPalette::Button).lightness()) << id;
            const QRgb shadow = palette.color(QPalette::Dark).rgb();
            EXPECT_EQ(image.pixel(right / 2, 1), shadow) << id << " upper shadow";
            EXPECT_EQ(image.pixel(1, bottom / 2), shadow) << id << " left shadow";
        }
    }
}

TEST(TabControl, ProgrammaticSelectionRaisesNoNotification)
{
    TabControl tabs;
    int notifications = 0;
    QObject::connect(&tabs, &TabControl::selectionChanged, &tabs, [&] { ++notifications; });
    tabs.insertItem(0, QStringLiteral("a"));
    tabs.insertItem(1, QStringLiteral("b"));
    tabs.setCurrentSelection(1);
    EXPECT_EQ(tabs.currentSelection(), 1);
    EXPECT_EQ(notifications, 0);
    tabs.tabBar()->setCurrentIndex(0); // as a click would
    EXPECT_EQ(notifications, 1);
}

} // namespace
