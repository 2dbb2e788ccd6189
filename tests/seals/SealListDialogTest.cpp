#include "seals/SealListDialog.h"
#include "FakeKey.h"
#include "SealTestSupport.h"
#include "dev/gif/GifEncoder.h"
#include "device/KeyDriverBinding.h"
#include "platform/core/DebugTrace.h"
#include "resources/ControlIds.h"
#include "seals/SealGeometry.h"
#include "seals/SealNameDialog.h"
#include "seals/SealTimeDialog.h"
#include "support/ScriptedInteraction.h"
#include "support/TempDirectory.h"
#include "support/Typing.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace talvo;
using namespace talvo::testing;

namespace {

const QRgb kSealRed = qRgb(255, 0, 0);

QByteArray solidGif(int width, int height, QRgb colour = kSealRed)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return encodeGif(image);
}

QComboBox* combo(SealListDialog& dialog)
{
    return dialog.controlAs<QComboBox>(ids::sealList::SealCombo);
}

QStringList listedNames(SealListDialog& dialog)
{
    QStringList names;
    for (int i = 0; i < combo(dialog)->count(); ++i)
        names << combo(dialog)->itemText(i);
    return names;
}

// What the list does on an operator's choice of an item.
void choose(SealListDialog& dialog, int position)
{
    combo(dialog)->setCurrentIndex(position);
    emit combo(dialog)->activated(position);
}

void press(SealListDialog& dialog, int button)
{
    clickButton(dialog, button);
}

// The rectangle the picture covers in the dialog's own painting, children hidden.
QRect paintedRect(SealListDialog& dialog, QRgb colour = kSealRed)
{
    for (QWidget* child : dialog.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        child->hide();
    const QImage image = dialog.grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (QWidget* child : dialog.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        child->show();
    QRect found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour)
                found |= QRect(x, y, 1, 1);
    return found;
}

class SealListDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_key.isLoaded()) << "the seal tests' own driver library was not found";
        ASSERT_TRUE(m_binding.isLibraryLoaded());
    }

    std::unique_ptr<SealListDialog> open(KeyDriverBinding* binding)
    {
        auto dialog = std::make_unique<SealListDialog>();
        dialog->setBinding(binding);
        dialog->show();
        return dialog;
    }
    std::unique_ptr<SealListDialog> open() { return open(&m_binding); }

    // A picture file chosen in the add dialog, and the name typed for it.
    void scriptAdd(const QString& path, const QString& name)
    {
        m_seam.answerFileDialog(path);
        m_seam.scriptModal([name](QDialog& dialog) {
            auto& nameDialog = static_cast<SealNameDialog&>(dialog);
            typeText(nameDialog.controlAs<QLineEdit>(ids::sealName::NameEdit), name);
            nameDialog.controlAs<QCalendarWidget>(ids::sealName::Calendar)
                ->setSelectedDate(QDate(2030, 6, 1));
            clickButton(nameDialog, TemplateDialog::IDOK);
        });
    }

    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_files.file(name);
        TempDirectory::writeFile(path, bytes);
        return path;
    }

    QString expectedTemporaryPath() const
    {
        return m_runtime.path() + QStringLiteral("/talvo-tool/__tmpSealPicFile.dat");
    }

    TempDirectory m_runtime;
    ScopedEnvironment m_runtimeVariable{"XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path())};
    ScopedTimeZone m_zone{"Asia/Shanghai"};
    TempDirectory m_files;
    FakeKey m_key;
    KeyDriverBinding m_binding;
    TraceCapture m_traces;
    ScriptedInteraction m_seam;
};

} // namespace

TEST_F(SealListDialogTest, OpeningListsTheSealsInSlotOrderAndShowsNoneYet)
{
    m_key.putSeal(7, 108, QStringLiteral("Alpha 七"));
    m_key.putSeal(0, 101, QStringLiteral("Zulu 零"));
    m_key.putSeal(3, 104, QStringLiteral("Mike 三"));
    auto dialog = open();

    EXPECT_EQ(listedNames(*dialog), QStringList({"Zulu 零", "Mike 三", "Alpha 七"}));
    EXPECT_EQ(combo(*dialog)->currentIndex(), 0);
    EXPECT_EQ(m_key.calls(), QStringList({"TLKeyReadKeyInfo"}));
    EXPECT_TRUE(dialog->picturePath().isEmpty());
    EXPECT_TRUE(dialog->itemText(ids::sealList::ExpiryText).isEmpty());
    EXPECT_TRUE(dialog->itemText(ids::sealList::InitTimeText).isEmpty());
    EXPECT_TRUE(m_seam.boxes().empty());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("签章信息"));
}

TEST_F(SealListDialogTest, ChoosingASealShowsItsPictureAndTimesUntilTheNextRefresh)
{
    const QByteArray picture = solidGif(400, 200);
    m_key.putSeal(0, 101, QStringLiteral("零"));
    m_key.putSeal(3, 104, QStringLiteral("三"));
    // Fields filled to the last byte, without terminators: only 20 and 10 bytes are shown.
    m_key.putSeal(7, 108, QStringLiteral("七"), "2030-12-31 23:59:59XY", "2024-05-06T");
    m_key.putPicture(108, picture);
    auto dialog = open();
    m_key.clearCalls();

    choose(*dialog, 2);
    EXPECT_EQ(m_key.calls(), QStringList({"TLKeyReadSealData 108 null",
                                          QStringLiteral("TLKeyReadSealData 108 %1").arg(picture.size())}));
    EXPECT_EQ(SealListDialog::temporaryPicturePath(), expectedTemporaryPath());
    EXPECT_EQ(dialog->picturePath(), expectedTemporaryPath());
    EXPECT_EQ(TempDirectory::readFile(expectedTemporaryPath()), picture);
    EXPECT_EQ(dialog->itemText(ids::sealList::ExpiryText), QStringLiteral("2030-12-31 23:59:59X"));
    EXPECT_EQ(dialog->itemText(ids::sealList::InitTimeText), QStringLiteral("2024-05-06"));
    EXPECT_EQ(m_traces.lines(), QStringList({"选择签章。。。。。。。。。。。。。。。。。"}));
    EXPECT_TRUE(m_seam.boxes().empty());
    const QSize drawn(300, 150);
    EXPECT_EQ(paintedRect(*dialog), QRect(previewOrigin(dialog->size(), drawn), drawn));

    press(*dialog, ids::sealList::RefreshButton);
    EXPECT_EQ(combo(*dialog)->currentIndex(), 0);
    EXPECT_TRUE(dialog->picturePath().isEmpty());
    EXPECT_TRUE(dialog->itemText(ids::sealList::ExpiryText).isEmpty());
    EXPECT_TRUE(dialog->itemText(ids::sealList::InitTimeText).isEmpty());
    EXPECT_TRUE(paintedRect(*dialog).isEmpty());
}

TEST_F(SealListDialogTest, PreviewFitsTheLongerSideInto300PixelsAndNeverEnlarges)
{
    const std::pair<QSize, QSize> cases[] = {{{400, 200}, {300, 150}},
                                             {{200, 400}, {150, 300}},
                                             {{1000, 1000}, {300, 300}},
                                             {{120, 80}, {120, 80}}};
    int slot = 0;
    for (const auto& [size, drawn] : cases) {
        m_key.putSeal(slot, 101 + slot, QStringLiteral("seal %1").arg(slot));
        m_key.putPicture(101 + slot, solidGif(size.width(), size.height()));
        ++slot;
    }
    auto dialog = open();
    for (int position = 0; position < slot; ++position) {
        choose(*dialog, position);
        const QSize drawn = cases[position].second;
        EXPECT_EQ(paintedRect(*dialog), QRect(previewOrigin(dialog->size(), drawn), drawn)) << position;
    }
}

TEST_F(SealListDialogTest, TheKeyboardChoiceOfASealShowsIt)
{
    m_key.putSeal(0, 101, QStringLiteral("零"), "2031-01-01 00:00:00");
    m_key.putSeal(1, 102, QStringLiteral("一"), "2032-02-02 00:00:00");
    m_key.putPicture(102, solidGif(10, 10));
    auto dialog = open();
    QTest::keyClick(combo(*dialog), Qt::Key_Down);
    EXPECT_EQ(dialog->itemText(ids::sealList::ExpiryText), QStringLiteral("2032-02-02 00:00:00"));
    EXPECT_EQ(dialog->picturePath(), expectedTemporaryPath());
}

TEST_F(SealListDialogTest, ASealThatCannotBeShownLeavesPreviewAndTimesAsTheyWere)
{
    m_key.putSeal(0, 101, QStringLiteral("shown"), "2031-01-01 00:00:00", "2024-01-01");
    m_key.putSeal(1, 102, QStringLiteral("empty picture"), "2032-02-02 00:00:00");
    m_key.putPicture(101, solidGif(50, 50));
    m_key.putPicture(102, QByteArray());
    auto dialog = open();
    choose(*dialog, 0);
    const QByteArray shownFile = TempDirectory::readFile(expectedTemporaryPath());
    m_traces.clear();
    auto expectUnchanged = [&](const char* step) {
        EXPECT_EQ(dialog->itemText(ids::sealList::ExpiryText), QStringLiteral("2031-01-01 00:00:00")) << step;
        EXPECT_EQ(dialog->itemText(ids::sealList::InitTimeText), QStringLiteral("2024-01-01")) << step;
        EXPECT_EQ(dialog->picturePath(), expectedTemporaryPath()) << step;
    };

    // A picture of length 0: a trace and nothing else, the second read is not made.
    m_key.clearCalls();
    choose(*dialog, 1);
    expectUnchanged("length 0");
    EXPECT_EQ(m_key.calls(), QStringList({"TLKeyReadSealData 102 null"}));
    EXPECT_EQ(m_traces.lines(), QStringList({"签章数据长度有误。。。"}));
    EXPECT_TRUE(m_seam.boxes().empty());
    EXPECT_EQ(TempDirectory::readFile(expectedTemporaryPath()), shownFile);

    // Either read failing: the status message and a trace.
    m_key.putPicture(102, solidGif(20, 20));
    for (const char* fault : {"TLKeyReadSealData", "TLKeyReadSealData/buffer"}) {
        m_key.fail(fault, TL_ERR_ACCESS);
        m_traces.clear();
        m_seam.clearRecords();
        m_seam.answerBox(BoxResult::Ok);
        choose(*dialog, 1);
        expectUnchanged(fault);
        ASSERT_EQ(m_seam.boxes().size(), 1u) << fault;
        EXPECT_EQ(m_seam.boxes()[0].text, QStringLiteral("设备访问失败。"));
        EXPECT_EQ(m_seam.boxes()[0].caption, QStringLiteral("错误"));
        EXPECT_EQ(m_seam.boxes()[0].icon, BoxIcon::Error);
        EXPECT_EQ(m_traces.lines(), QStringList({"获取签章数据失败。。。"}));
        m_key.fail(fault, TL_OK);
    }
    EXPECT_EQ(TempDirectory::readFile(expectedTemporaryPath()), shownFile);

    // The temporary file cannot be written: the file-error box ends the selection.
    QFile::remove(expectedTemporaryPath());
    ASSERT_TRUE(QDir().mkdir(expectedTemporaryPath()));
    m_seam.clearRecords();
    m_seam.answerBox(BoxResult::Ok);
    choose(*dialog, 1);
    expectUnchanged("file error");
    ASSERT_EQ(m_seam.boxes().size(), 1u);
    EXPECT_EQ(m_seam.boxes()[0].icon, BoxIcon::Error);
    EXPECT_TRUE(m_seam.boxes()[0].text.contains(expectedTemporaryPath()));
}

TEST_F(SealListDialogTest, APipeOrAnotherUsersFileAtThePictureNameIsReplaced)
{
    const QByteArray picture = solidGif(40, 20);
    m_key.putSeal(0, 101, QStringLiteral("零"));
    m_key.putPicture(101, picture);
    auto dialog = open();
    const QByteArray name = QFile::encodeName(expectedTemporaryPath());

    // Someone reads the planted pipe, so a writer that trusted it would not even block.
    ASSERT_EQ(::mkfifo(name.constData(), 0600), 0);
    const int reader = ::open(name.constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    choose(*dialog, 0);
    char drained[16];
    EXPECT_LE(::read(reader, drained, sizeof drained), 0) << "the pipe received the picture";
    ::close(reader);
    EXPECT_TRUE(QFileInfo(expectedTemporaryPath()).isFile());
    EXPECT_EQ(TempDirectory::readFile(expectedTemporaryPath()), picture);
    EXPECT_EQ(paintedRect(*dialog), QRect(previewOrigin(dialog->size(), QSize(40, 20)), QSize(40, 20)));

    if (::geteuid() == 0) {
        ASSERT_TRUE(QFile::remove(expectedTemporaryPath()));
        TempDirectory::writeFile(expectedTemporaryPath(), "theirs");
        ASSERT_EQ(::chmod(name.constData(), 0666), 0);
        ASSERT_EQ(::chown(name.constData(), 65534, 65534), 0);
        const int theirs = ::open(name.constData(), O_RDONLY);
        ASSERT_GE(theirs, 0);
        choose(*dialog, 0);
        char kept[16] = {};
        EXPECT_EQ(::pread(theirs, kept, sizeof kept, 0), 6);
        EXPECT_STREQ(kept, "theirs") << "another user's file received the picture";
        ::close(theirs);
        EXPECT_EQ(QFileInfo(expectedTemporaryPath()).ownerId(), ::getuid());
        EXPECT_EQ(TempDirectory::readFile(expectedTemporaryPath()), picture);
    }
    EXPECT_TRUE(m_seam.boxes().empty());
}

TEST_F(SealListDialogTest, DriverAnswersOutsideTheContractAreNotTrusted)
{
    const QByteArray picture = solidGif(30, 30);
    m_key.putSeal(0, 101, QStringLiteral("in range"), "2031-01-01 00:00:00", "2024-01-01");
    m_key.putSeal(1, 250, QStringLiteral("stray number"), "2099-09-09 00:00:00", "2099-09-09");
    m_key.putPicture(101, picture);
    m_key.putPicture(250, picture);
    // The second read claims 5000 bytes more than it was given room for.
    m_key.overReport(5000);
    auto dialog = open();

    choose(*dialog, 0);
    EXPECT_EQ(TempDirectory::readFile(expectedTemporaryPath()), picture);
    EXPECT_EQ(dialog->itemText(ids::sealList::ExpiryText), QStringLiteral("2031-01-01 00:00:00"));

    // A seal numbered outside 101..110 is shown without times rather than with another's.
    choose(*dialog, 1);
    EXPECT_EQ(dialog->picturePath(), expectedTemporaryPath());
    EXPECT_TRUE(dialog->itemText(ids::sealList::ExpiryText).isEmpty());
    EXPECT_TRUE(dialog->itemText(ids::sealList::InitTimeText).isEmpty());
}

TEST_F(SealListDialogTest, AFailingKeyInformationReadLeavesTheListEmpty)
{
    m_key.putSeal(0, 101, QStringLiteral("零"), "2031-01-01 00:00:00");
    m_key.putPicture(101, solidGif(10, 10));
    m_key.fail("TLKeyReadKeyInfo", TL_ERR_API);
    m_seam.answerBox(BoxResult::Ok);
    auto dialog = open();
    ASSERT_EQ(m_seam.boxes().size(), 1u);
    EXPECT_EQ(m_seam.boxes()[0].text, QStringLiteral("操作失败"));
    EXPECT_EQ(m_seam.boxes()[0].caption, QStringLiteral("错误"));
    EXPECT_EQ(m_seam.boxes()[0].icon, BoxIcon::Error);
    EXPECT_EQ(m_seam.boxes()[0].owner, dialog.get());
    EXPECT_EQ(combo(*dialog)->count(), 0);

    // With nothing listed, deleting and writing a time have nothing to work on.
    m_seam.clearRecords();
    m_key.clearCalls();
    m_seam.answerBox(BoxResult::Ok);
    m_seam.answerBox(BoxResult::Ok);
    press(*dialog, ids::sealList::DeleteButton);
    press(*dialog, ids::sealList::WriteTimeButton);
    EXPECT_EQ(m_seam.boxTexts(), QStringList({"没有要删除的签章", "没有要删除的签章"}));
    EXPECT_EQ(m_seam.boxes()[1].caption, QStringLiteral("提示"));
    EXPECT_EQ(m_seam.boxes()[1].icon, BoxIcon::Information);
    EXPECT_TRUE(m_seam.modalDialogs().isEmpty());
    EXPECT_TRUE(m_key.calls().isEmpty());

    // A refresh that fails keeps what the preview and the time fields showed.
    m_key.fail("TLKeyReadKeyInfo", TL_OK);
    press(*dialog, ids::sealList::RefreshButton);
    choose(*dialog, 0);
    m_key.fail("TLKeyReadKeyInfo", TL_ERR_ACCESS);
    m_seam.answerBox(BoxResult::Ok);
    press(*dialog, ids::sealList::RefreshButton);
    EXPECT_EQ(combo(*dialog)->count(), 0);
    EXPECT_EQ(dialog->picturePath(), expectedTemporaryPath());
    EXPECT_EQ(dialog->itemText(ids::sealList::ExpiryText), QStringLiteral("2031-01-01 00:00:00"));
}

TEST_F(SealListDialogTest, AddingEndsQuietlyWithoutAKeyCallUntilAllIsGiven)
{
    auto dialog = open();
    m_key.clearCalls();
    QDir().mkdir(m_files.file(QStringLiteral("folder.gif")));
    // Cancelled file dialog; a missing file; a directory; a file of 0 bytes.
    m_seam.answerFileDialog(std::nullopt);
    m_seam.answerFileDialog(m_files.file(QStringLiteral("missing.gif")));
    m_seam.answerFileDialog(m_files.file(QStringLiteral("folder.gif")));
    m_seam.answerFileDialog(writeFile(QStringLiteral("empty.gif"), QByteArray()));
    for (int i = 0; i < 4; ++i)
        press(*dialog, ids::sealList::AddButton);
    EXPECT_TRUE(m_seam.modalDialogs().isEmpty());

    // The name dialog cancelled.
    m_seam.answerFileDialog(writeFile(QStringLiteral("seal.gif"), solidGif(10, 10)));
    m_seam.scriptModal([](QDialog&) {});
    press(*dialog, ids::sealList::AddButton);
    EXPECT_EQ(m_seam.modalDialogs(), QStringList({"talvo::SealNameDialog"}));

    EXPECT_TRUE(m_key.calls().isEmpty());
    EXPECT_TRUE(m_seam.boxes().empty());
    EXPECT_TRUE(m_seam.allScriptsUsed());
    ASSERT_EQ(m_seam.fileDialogs().size(), 5u);
    const FileDialogRequest& request = m_seam.fileDialogs()[0];
    EXPECT_TRUE(request.open);
    EXPECT_EQ(request.filter, QStringLiteral("GIF Files (*.gif)|*.gif;||"));
    EXPECT_EQ(request.defaultExtension, QStringLiteral(".*"));
    EXPECT_TRUE(request.initialFileName.isEmpty());
    EXPECT_EQ(request.owner, dialog.get());
}

TEST_F(SealListDialogTest, AddingRefusesAFileLongerThanA32BitLengthCanCarry)
{
    const QString path = m_files.file(QStringLiteral("huge.gif"));
    QFile huge(path);
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(qint64(1) << 32)); // sparse: no disk or memory is used
    huge.close();
    auto dialog = open();
    m_key.clearCalls();
    m_seam.answerFileDialog(path);
    m_seam.answerBox(BoxResult::Ok);
    press(*dialog, ids::sealList::AddButton);
    EXPECT_TRUE(m_seam.modalDialogs().isEmpty());
    EXPECT_TRUE(m_key.calls().isEmpty());
    ASSERT_EQ(m_seam.boxes().size(), 1u);
    EXPECT_EQ(m_seam.boxes()[0].text, QStringLiteral("签章图片文件太大，无法写入设备"));
    EXPECT_EQ(m_seam.boxes()[0].icon, BoxIcon::Error);
}

TEST_F(SealListDialogTest, AddingHandsTheKeyTheWholeNameAndFileThenReportsBeforeRefreshing)
{
    m_key.putSeal(0, 101, QStringLiteral("已有"));
    auto dialog = open();
    m_key.clearCalls();
    // Any file is accepted: the bytes are not examined.
    const QByteArray bytes("not a GIF at all, but the key takes it as it is");
    const QString name = QStringLiteral("一二三四五六七八九十甲乙丙丁戊己庚");
    scriptAdd(writeFile(QStringLiteral("seal.txt"), bytes), name);
    m_seam.answerBox(BoxResult::Ok);
    QStringList listAtBox;
    QStringList callsAtBox;
    m_seam.onBox([&](const MessageBoxRequest&) {
        listAtBox = listedNames(*dialog);
        callsAtBox = m_key.calls();
    });
    press(*dialog, ids::sealList::AddButton);

    const FakeKey::SealWrite write = m_key.lastSealWrite();
    EXPECT_EQ(write.name, cp936(name) + std::string(1, '\0'));
    EXPECT_EQ(write.expiry, std::string("2030-06-01 00:00:00") + std::string(2, '\0'));
    EXPECT_EQ(write.length, static_cast<uint32_t>(bytes.size()));
    ASSERT_EQ(m_seam.boxes().size(), 1u);
    EXPECT_EQ(m_seam.boxes()[0].text, QStringLiteral("操作成功"));
    EXPECT_EQ(m_seam.boxes()[0].caption, QStringLiteral("提示"));
    EXPECT_EQ(m_seam.boxes()[0].icon, BoxIcon::Information);
    EXPECT_EQ(callsAtBox,
              QStringList({"TLKeyGetStatus", QStringLiteral("TLKeyWriteSealData %1").arg(bytes.size())}));
    EXPECT_EQ(listAtBox, QStringList({"已有"}));
    EXPECT_EQ(listedNames(*dialog), QStringList({"已有", name}));

    // The key holds the file's bytes unchanged.
    uint32_t length = 0;
    ASSERT_EQ(m_binding.TLKeyReadSealData(102, nullptr, &length), TL_OK);
    QByteArray stored(static_cast<qsizetype>(length), '\0');
    ASSERT_EQ(m_binding.TLKeyReadSealData(102, reinterpret_cast<uint8_t*>(stored.data()), &length), TL_OK);
    EXPECT_EQ(stored, bytes);
}

TEST_F(SealListDialogTest, AddingShowsTheKeysRefusalAndChangesNothing)
{
    auto dialog = open();
    const QByteArray picture = solidGif(10, 10);
    const QString path = writeFile(QStringLiteral("seal.gif"), picture);
    const QString write = QStringLiteral("TLKeyWriteSealData %1").arg(picture.size());
    const std::pair<const char*, QStringList> cases[] = {{"TLKeyGetStatus", {"TLKeyGetStatus"}},
                                                         {"TLKeyWriteSealData", {"TLKeyGetStatus", write}}};
    for (const auto& [function, expectedCalls] : cases) {
        m_key.fail(function, TL_ERR_NO_SPACE);
        m_key.clearCalls();
        m_seam.clearRecords();
        scriptAdd(path, QStringLiteral("新章"));
        m_seam.answerBox(BoxResult::Ok);
        press(*dialog, ids::sealList::AddButton);
        EXPECT_EQ(m_seam.boxTexts(), QStringList({"设备空间不足。"})) << function;
        EXPECT_EQ(m_seam.boxes()[0].caption, QStringLiteral("错误"));
        EXPECT_EQ(m_key.calls(), expectedCalls) << function;
        EXPECT_EQ(combo(*dialog)->count(), 0);
        m_key.fail(function, TL_OK);
    }
}

TEST_F(SealListDialogTest, DeletingAsksNoConfirmationAndRefreshesBeforeReporting)
{
    m_key.putSeal(0, 101, QStringLiteral("甲"));
    m_key.putSeal(3, 104, QStringLiteral("乙"));
    m_key.putPicture(104, solidGif(10, 10));
    auto dialog = open();
    choose(*dialog, 1);
    m_key.clearCalls();
    QStringList listAtBox;
    m_seam.onBox([&](const MessageBoxRequest&) { listAtBox = listedNames(*dialog); });
    m_seam.answerBox(BoxResult::Ok);
    press(*dialog, ids::sealList::DeleteButton);

    EXPECT_EQ(m_key.calls(), QStringList({"TLKeyGetStatus", "TLKeyDelSealData 104", "TLKeyReadKeyInfo"}));
    EXPECT_EQ(m_seam.boxTexts(), QStringList({"操作成功"}));
    EXPECT_EQ(m_seam.boxes()[0].icon, BoxIcon::Information);
    EXPECT_EQ(listAtBox, QStringList({"甲"}));
    EXPECT_TRUE(dialog->picturePath().isEmpty());

    // Failures: the status message, no refresh.
    for (const char* function : {"TLKeyGetStatus", "TLKeyDelSealData"}) {
        m_key.fail(function, TL_ERR_NO_DEVICE);
        m_key.clearCalls();
        m_seam.clearRecords();
        m_seam.answerBox(BoxResult::Ok);
        press(*dialog, ids::sealList::DeleteButton);
        EXPECT_EQ(m_seam.boxTexts(), QStringList({"设备不存在。"})) << function;
        EXPECT_FALSE(m_key.calls().contains("TLKeyReadKeyInfo")) << function;
        m_key.fail(function, TL_OK);
    }
    EXPECT_EQ(listedNames(*dialog), QStringList({"甲"}));
}

TEST_F(SealListDialogTest, WritingATimeSendsTheChosenMidnightForTheSelectedSeal)
{
    m_key.putSeal(0, 101, QStringLiteral("甲"), "2030-01-01 00:00:00");
    m_key.putSeal(5, 106, QStringLiteral("乙"), "2030-01-01 00:00:00");
    auto dialog = open();
    combo(*dialog)->setCurrentIndex(1);
    m_key.clearCalls();
    // Cancelled: no key call.
    m_seam.scriptModal([](QDialog&) {});
    press(*dialog, ids::sealList::WriteTimeButton);
    EXPECT_TRUE(m_key.calls().isEmpty());

    m_seam.scriptModal([](QDialog& timeDialog) {
        static_cast<SealTimeDialog&>(timeDialog)
            .controlAs<QCalendarWidget>(ids::sealTime::Calendar)
            ->setSelectedDate(QDate(2001, 9, 11));
        clickButton(timeDialog, TemplateDialog::IDOK);
    });
    QStringList callsAtBox;
    m_seam.onBox([&](const MessageBoxRequest&) { callsAtBox = m_key.calls(); });
    m_seam.answerBox(BoxResult::Ok);
    press(*dialog, ids::sealList::WriteTimeButton);
    EXPECT_EQ(callsAtBox, QStringList({"TLKeyWriteSealTime 106 2001-09-11 00:00:00", "TLKeyReadKeyInfo"}));
    EXPECT_EQ(m_seam.boxTexts(), QStringList({"操作成功"}));
    EXPECT_EQ(m_seam.boxes()[0].caption, QStringLiteral("提示"));

    m_key.fail("TLKeyWriteSealTime", TL_ERR_PARAMETER);
    m_key.clearCalls();
    m_seam.clearRecords();
    m_seam.scriptModal([](QDialog& timeDialog) { QTest::keyClick(&timeDialog, Qt::Key_Return); });
    m_seam.answerBox(BoxResult::Ok);
    press(*dialog, ids::sealList::WriteTimeButton);
    EXPECT_EQ(m_seam.boxTexts(), QStringList({"参数错误。"}));
    EXPECT_EQ(m_key.calls().size(), 1);
}

TEST_F(SealListDialogTest, WithoutABindingTheKeyCountsAsAbsent)
{
    SealListDialog dialog;
    for (int box = 0; box < 3; ++box)
        m_seam.answerBox(BoxResult::Ok);
    m_seam.scriptModal([&](QDialog&) {
        scriptAdd(writeFile(QStringLiteral("seal.gif"), solidGif(10, 10)), QStringLiteral("章"));
        press(dialog, ids::sealList::AddButton);
        press(dialog, ids::sealList::RefreshButton);
    });
    dialog.doModal();
    EXPECT_EQ(m_seam.modalDialogs(), QStringList({"talvo::SealListDialog", "talvo::SealNameDialog"}));
    EXPECT_EQ(m_seam.boxTexts(), QStringList({"操作失败", "设备不存在。", "操作失败"}));
    EXPECT_TRUE(m_key.calls().isEmpty());
}
