#include "SealTestSupport.h"
#include "dev/gif/GifEncoder.h"
#include "device/KeyDriverBinding.h"
#include "resources/ControlIds.h"
#include "seals/SealListDialog.h"
#include "seals/SealNameDialog.h"
#include "seals/SealTimeDialog.h"
#include "support/ScriptedInteraction.h"
#include "support/SimulatedKey.h"
#include "support/TempDirectory.h"
#include "support/Typing.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QLineEdit>

#include <gtest/gtest.h>

using namespace talvo;
using namespace talvo::testing;

namespace {

// The simulated key, end to end: what the dialog does is checked in the key's own state.
class SealListSimulatedKeyTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_binding.isLibraryLoaded()); }

    KeyInfo keyState()
    {
        KeyInfo info{};
        EXPECT_EQ(m_binding.TLKeyReadKeyInfo(&info), TL_OK);
        return info;
    }

    QByteArray storedPicture(int32_t number)
    {
        uint32_t length = 0;
        if (m_binding.TLKeyReadSealData(number, nullptr, &length) != TL_OK)
            return {};
        QByteArray bytes(static_cast<qsizetype>(length), '\0');
        if (m_binding.TLKeyReadSealData(number, reinterpret_cast<uint8_t*>(bytes.data()), &length) != TL_OK)
            return {};
        bytes.truncate(static_cast<qsizetype>(length));
        return bytes;
    }

    void add(SealListDialog& dialog, const QByteArray& picture, const QString& name)
    {
        const QString path = m_files.file(QStringLiteral("seal-%1.gif").arg(++m_added));
        TempDirectory::writeFile(path, picture);
        m_seam.answerFileDialog(path);
        m_seam.scriptModal([name](QDialog& modal) {
            auto& nameDialog = static_cast<SealNameDialog&>(modal);
            typeText(nameDialog.controlAs<QLineEdit>(ids::sealName::NameEdit), name);
            nameDialog.controlAs<QCalendarWidget>(ids::sealName::Calendar)
                ->setSelectedDate(QDate(2030, 6, 1));
            clickButton(nameDialog, TemplateDialog::IDOK);
        });
        clickButton(dialog, ids::sealList::AddButton);
    }

    ScopedTimeZone m_zone{"Asia/Shanghai"};
    TempDirectory m_runtime;
    ScopedEnvironment m_runtimeVariable{"XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path())};
    TempDirectory m_files;
    SimulatedKey m_key{SimulatedKey::Content::Empty};
    KeyDriverBinding m_binding;
    ScriptedInteraction m_seam;
    int m_added = 0;
};

QImage plainPicture(int side, QRgb colour)
{
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

} // namespace

TEST_F(SealListSimulatedKeyTest, AddShowWriteTimeAndDeleteReachTheKey)
{
    SealListDialog dialog;
    dialog.setBinding(&m_binding);
    dialog.show();
    auto* list = dialog.controlAs<QComboBox>(ids::sealList::SealCombo);
    EXPECT_EQ(list->count(), 0);

    const QByteArray first = encodeGif(plainPicture(400, qRgb(200, 0, 0)));
    const QString firstName = QStringLiteral("一二三四五六七八九十甲乙丙丁戊己庚");
    m_seam.answerBox(BoxResult::Ok);
    add(dialog, first, firstName);
    m_seam.answerBox(BoxResult::Ok);
    add(dialog, encodeGif(plainPicture(64, qRgb(0, 0, 200))), QStringLiteral("财务章"));
    EXPECT_EQ(m_seam.boxTexts(), QStringList({"操作成功", "操作成功"}));
    ASSERT_EQ(list->count(), 2);

    KeyInfo info = keyState();
    const SealEntry& slot0 = info.sealTable[0];
    EXPECT_NE(slot0.inUse, 0);
    EXPECT_EQ(slot0.number, 101);
    EXPECT_EQ(std::string(slot0.name, sizeof slot0.name), cp936(firstName) + std::string(1, '\0'));
    EXPECT_STREQ(slot0.expiryTime, "2030-06-01 00:00:00");
    const std::string today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")).toStdString();
    EXPECT_EQ(std::string(slot0.initTime, 10), today);
    EXPECT_EQ(info.sealTable[1].number, 102);
    EXPECT_EQ(storedPicture(101), first);

    // Showing the first seal writes the key's bytes to the picture file and shows its times.
    list->setCurrentIndex(0);
    emit list->activated(0);
    EXPECT_EQ(TempDirectory::readFile(dialog.picturePath()), first);
    EXPECT_EQ(dialog.itemText(ids::sealList::ExpiryText), QStringLiteral("2030-06-01 00:00:00"));
    EXPECT_EQ(dialog.itemText(ids::sealList::InitTimeText), QString::fromStdString(today));

    // A new time for the second seal.
    list->setCurrentIndex(1);
    m_seam.scriptModal([](QDialog& modal) {
        auto& timeDialog = static_cast<SealTimeDialog&>(modal);
        timeDialog.controlAs<QCalendarWidget>(ids::sealTime::Calendar)->setSelectedDate(QDate(2031, 2, 3));
        clickButton(timeDialog, TemplateDialog::IDOK);
    });
    m_seam.answerBox(BoxResult::Ok);
    clickButton(dialog, ids::sealList::WriteTimeButton);
    EXPECT_STREQ(keyState().sealTable[1].expiryTime, "2031-02-03 00:00:00");

    // Deleting the first seal frees its slot and leaves the second.
    list->setCurrentIndex(0);
    m_seam.answerBox(BoxResult::Ok);
    clickButton(dialog, ids::sealList::DeleteButton);
    info = keyState();
    EXPECT_EQ(info.sealTable[0].inUse, 0);
    EXPECT_NE(info.sealTable[1].inUse, 0);
    EXPECT_EQ(list->count(), 1);
    EXPECT_EQ(list->itemText(0), QStringLiteral("财务章"));
    EXPECT_EQ(m_seam.boxTexts(), QStringList({"操作成功", "操作成功", "操作成功", "操作成功"}));
}

TEST_F(SealListSimulatedKeyTest, AFullKeyRefusesAnotherSeal)
{
    const QByteArray picture = encodeGif(plainPicture(8, qRgb(1, 2, 3)));
    for (int i = 0; i < TL_SEAL_SLOTS; ++i) {
        char name[TL_SEAL_NAME_SIZE] = "seal";
        char expiry[TL_SEAL_TIME_SIZE] = "2030-01-01 00:00:00";
        ASSERT_EQ(m_binding.TLKeyWriteSealData(name, expiry,
                                               reinterpret_cast<const uint8_t*>(picture.constData()),
                                               static_cast<uint32_t>(picture.size())),
                  TL_OK);
    }
    SealListDialog dialog;
    dialog.setBinding(&m_binding);
    dialog.show();
    m_seam.answerBox(BoxResult::Ok);
    add(dialog, picture, QStringLiteral("第十一"));
    EXPECT_EQ(m_seam.boxTexts(), QStringList({"设备空间不足。"}));
    EXPECT_EQ(dialog.controlAs<QComboBox>(ids::sealList::SealCombo)->count(), TL_SEAL_SLOTS);
}

TEST_F(SealListSimulatedKeyTest, AFailingKeyInformationReadLeavesTheListEmpty)
{
    char name[TL_SEAL_NAME_SIZE] = "seal";
    char expiry[TL_SEAL_TIME_SIZE] = "2030-01-01 00:00:00";
    const uint8_t picture[] = {'G', 'I', 'F'};
    ASSERT_EQ(m_binding.TLKeyWriteSealData(name, expiry, picture, sizeof picture), TL_OK);
    m_key.fail(QStringLiteral("TLKeyReadKeyInfo"), TL_ERR_ACCESS);
    SealListDialog dialog;
    dialog.setBinding(&m_binding);
    m_seam.answerBox(BoxResult::Ok);
    dialog.show();
    EXPECT_EQ(m_seam.boxTexts(), QStringList({"操作失败"}));
    EXPECT_EQ(m_seam.boxes()[0].caption, QStringLiteral("错误"));
    EXPECT_EQ(dialog.controlAs<QComboBox>(ids::sealList::SealCombo)->count(), 0);

    m_key.clearFailures();
    m_seam.clearRecords();
    clickButton(dialog, ids::sealList::RefreshButton);
    EXPECT_TRUE(m_seam.boxes().empty());
    EXPECT_EQ(dialog.controlAs<QComboBox>(ids::sealList::SealCombo)->count(), 1);
}
