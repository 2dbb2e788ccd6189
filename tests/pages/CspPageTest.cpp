#include "pages/CspPage.h"
#include "PageTestSupport.h"
#include "device/KeyDriverBinding.h"
#include "key/TwoCallRead.h"
#include "pages/CertExportDialog.h"
#include "platform/core/DebugTrace.h"
#include "platform/core/PrivateDirectory.h"
#include "resources/ControlIds.h"
#include "support/ScriptedInteraction.h"
#include "support/TempDirectory.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace talvo {
namespace {

using testing::DriverCall;
using testing::recordingDriver;
using testing::recordingHash;
using testing::TempDirectory;
using testing::TwoCallData;
namespace C = ids::csp;

const QString kIncomplete = QStringLiteral("输入不完整!");
const std::string kCertificate = "-----BEGIN CERTIFICATE-----\nMIIBkTCB+wIJAKHBfpegPjMCMA0GCSqGSIb3\n"
                                 "-----END CERTIFICATE-----\n";

class CspPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        recordingDriver().reset();
        recordingDriver().certificate.bytes = kCertificate;
        setMainWindow(&m_mainWindow);
        m_page.createAsChild(&m_host);
        m_page.setBinding(&m_binding);
    }
    void TearDown() override
    {
        EXPECT_TRUE(m_script.allScriptsUsed());
        setMainWindow(nullptr);
    }

    void click(int id) { m_page.controlAs<QPushButton>(id)->click(); }
    QString text(int id) const { return m_page.itemText(id); }
    void setText(int id, const QString& value) { m_page.setItemText(id, value); }
    QStringList pathFields() const
    {
        return {text(C::OriginalFileEdit), text(C::SavePathEdit), text(C::SecureFileEdit),
                text(C::TargetFileEdit)};
    }
    // Browses with the answer queued, as the operator choosing a file.
    void choose(int browseButton, const QString& path)
    {
        m_script.answerFileDialog(path);
        click(browseButton);
    }
    void expectPageBox(const MessageBoxRequest& box, const QString& text, const QString& caption,
                       BoxIcon icon) const
    {
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.caption, caption);
        EXPECT_EQ(box.icon, icon);
        EXPECT_EQ(box.owner, &m_page);
        EXPECT_EQ(box.buttons, BoxButtons::Ok);
    }
    void answerBoxes(int count)
    {
        for (int i = 0; i < count; ++i)
            m_script.answerBox(BoxResult::Ok);
    }
    QString tempCertPath() const { return privateDirectory() + QStringLiteral("/__tmpCertFile.cer"); }

    TempDirectory m_runtime;
    testing::ScopedEnvironment m_runtimeVariable{"XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path())};
    ScriptedInteraction m_script;
    TraceCapture m_traces;
    QWidget m_mainWindow;
    QWidget m_host;
    KeyDriverBinding m_binding;
    CspPage m_page;
};

struct HashCase {
    const char* name;
    QString typed;
    std::string hashed; // the six bytes that reach the driver
};

TEST_F(CspPageTest, HashTakesAtMostSixWholeBytesAndAlwaysTheLengthSix)
{
    const HashCase cases[] = {
        {"empty", QString(), std::string(6, '\0')},
        {"short", QStringLiteral("123"), std::string("123\0\0\0", 6)},
        {"long", QStringLiteral("12345678"), "123456"},
        {"three double-byte characters", QStringLiteral("口令码"), testing::cp936(QStringLiteral("口令码"))},
        {"never half a character", QStringLiteral("a口令码"),
         testing::cp936(QStringLiteral("a口令")) + std::string(1, '\0')},
    };
    for (const HashCase& c : cases) {
        SCOPED_TRACE(c.name);
        recordingDriver().calls.clear();
        setText(C::PinEdit, c.typed);
        click(C::HashButton);
        ASSERT_EQ(c.hashed.size(), 6u);
        EXPECT_EQ(recordingDriver().calls, (std::vector<DriverCall>{{"TLKeyCalcHash", {c.hashed, "6"}}}));
        EXPECT_EQ(text(C::HashEdit), QString::fromStdString(recordingHash(c.hashed)));
    }

    // A failing driver leaves the field as the zeroed buffer; an unterminated one is cut.
    recordingDriver().failures = {{"TLKeyCalcHash", 5}};
    click(C::HashButton);
    EXPECT_EQ(text(C::HashEdit), QString());
    recordingDriver().failures.clear();
    recordingDriver().calcHashBytes = std::string(40, 'F');
    click(C::HashButton);
    EXPECT_EQ(text(C::HashEdit), QString(40, QLatin1Char('F')));
    EXPECT_TRUE(m_script.boxes().empty());
}

struct BrowseCase {
    int button;
    int edit;
    bool open;
    const char* extension;
    bool documents;
};

TEST_F(CspPageTest, BrowseButtonsAskTheMainWindowAndCancelChangesNothing)
{
    const QString documents =
        QStringLiteral("文档文件(*.txt;*.pdf;*.doc;*d.docx)|*.txt;*.pdf;*.doc;*.docx|全部文件(*.*)|*.*||");
    const QString secure = QStringLiteral("安全文件(*.sec)|*.sec||");
    const BrowseCase cases[] = {
        {C::OriginalFileBrowse, C::OriginalFileEdit, true, "", true},
        {C::SavePathBrowse, C::SavePathEdit, false, "sec", false},
        {C::SecureFileBrowse, C::SecureFileEdit, true, "", false},
        {C::TargetFileBrowse, C::TargetFileEdit, false, "", true},
    };
    for (const BrowseCase& c : cases) {
        SCOPED_TRACE(c.button);
        const QString chosen = QStringLiteral("/data/文件%1").arg(c.button);
        m_script.clearRecords();
        choose(c.button, chosen);
        m_script.answerFileDialog(std::nullopt);
        click(c.button);

        ASSERT_EQ(m_script.fileDialogs().size(), 2u);
        const FileDialogRequest& request = m_script.fileDialogs()[0];
        EXPECT_EQ(request.owner, &m_mainWindow);
        EXPECT_EQ(request.open, c.open);
        EXPECT_EQ(request.defaultExtension, QString::fromLatin1(c.extension));
        EXPECT_EQ(request.filter, c.documents ? documents : secure);
        EXPECT_TRUE(request.initialFileName.isEmpty());
        EXPECT_EQ(text(c.edit), chosen);
    }
    EXPECT_TRUE(recordingDriver().calls.empty());
}

TEST_F(CspPageTest, TypedPathsAreNeverUsedBySecureMessageButtons)
{
    for (int id : {C::OriginalFileEdit, C::SavePathEdit, C::SecureFileEdit, C::TargetFileEdit})
        setText(id, QStringLiteral("/typed/by/hand"));
    answerBoxes(2);
    click(C::GenerateButton);
    EXPECT_EQ(m_traces.lines(), QStringList{QStringLiteral("OnButtonGenmsg 输入不完整")});
    click(C::ParseButton);
    ASSERT_EQ(m_script.boxes().size(), 2u);
    expectPageBox(m_script.boxes()[0], kIncomplete, applicationName(), BoxIcon::None);
    expectPageBox(m_script.boxes()[1], kIncomplete, applicationName(), BoxIcon::None);
    EXPECT_EQ(m_traces.lines().size(), 1) << "only the generate button traces";

    // One of the two paths browsed is still incomplete.
    m_script.clearRecords();
    choose(C::OriginalFileBrowse, QStringLiteral("/browsed/source.txt"));
    choose(C::TargetFileBrowse, QStringLiteral("/browsed/target.txt"));
    answerBoxes(2);
    click(C::GenerateButton);
    click(C::ParseButton);
    EXPECT_EQ(m_script.boxTexts(), QStringList({kIncomplete, kIncomplete}));
    EXPECT_EQ(m_traces.lines().size(), 2);
}

TEST_F(CspPageTest, ClearFieldsEmptiesTheFormAndPutsTheStoredPathsBack)
{
    choose(C::OriginalFileBrowse, QStringLiteral("/a/source.txt"));
    choose(C::SecureFileBrowse, QStringLiteral("/a/message.sec"));
    setText(C::PinEdit, QStringLiteral("123456"));
    setText(C::HashEdit, QStringLiteral("HASH"));
    setText(C::SignatureEdit, QStringLiteral("signature"));
    setText(C::OriginalFileEdit, QStringLiteral("typed over"));
    setText(C::SavePathEdit, QStringLiteral("typed"));

    click(C::ClearButton);

    EXPECT_EQ(text(C::PinEdit), QString());
    EXPECT_EQ(text(C::HashEdit), QString());
    EXPECT_EQ(text(C::SignatureEdit), QString());
    EXPECT_EQ(pathFields(), QStringList({"/a/source.txt", "", "/a/message.sec", ""}));
}

TEST_F(CspPageTest, CertificateTextShowsTheDriversBytesWithinItsBuffer)
{
    struct Case {
        const char* name;
        TwoCallData certificate;
        QString shown; // null: no box at all
    } cases[] = {
        {"as delivered", {kCertificate, {}, {}}, QString::fromStdString(kCertificate)},
        {"announced more than delivered", {"ABC", 100u, 100u}, QStringLiteral("ABC")},
        {"reported back past the buffer", {std::string(64, 'A'), {}, 5000u}, QString(64, QLatin1Char('A'))},
        {"a length no key gives", {"ABC", TwoCallRead::kMaxLength + 1, {}}, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_script.clearRecords();
        recordingDriver().calls.clear();
        recordingDriver().certificate = c.certificate;
        if (!c.shown.isNull())
            answerBoxes(1);
        click(C::CertTextButton);
        if (c.shown.isNull()) {
            EXPECT_TRUE(m_script.boxes().empty());
            EXPECT_EQ(testing::callNames(), std::vector<std::string>{"TLKeyReadCert"});
            continue;
        }
        ASSERT_EQ(m_script.boxes().size(), 1u);
        expectPageBox(m_script.boxes()[0], c.shown, applicationName(), BoxIcon::None);
        const std::string announced =
            std::to_string(c.certificate.announcedLength.value_or(c.certificate.bytes.size()));
        EXPECT_EQ(recordingDriver().calls,
                  (std::vector<DriverCall>{{"TLKeyReadCert", {"null", "0"}},
                                           {"TLKeyReadCert", {"buffer", announced}}}));
    }

    m_script.clearRecords();
    recordingDriver().failures = {{"TLKeyReadCert", 1}};
    click(C::CertTextButton);
    EXPECT_TRUE(m_script.boxes().empty());
    // The second call's status is not looked at: its zero-filled buffer shows nothing.
    recordingDriver().certificate = {kCertificate, {}, {}};
    recordingDriver().failures = {{"TLKeyReadCert/buffer", 5}};
    answerBoxes(1);
    click(C::CertTextButton);
    EXPECT_EQ(m_script.boxTexts(), QStringList{QString()});
}

TEST_F(CspPageTest, ViewCertificateWritesTheTemporaryFileAndOpensIt)
{
    recordingDriver().certificate = {kCertificate + std::string(16, '\0'), {}, 20u};
    click(C::ViewCertButton);

    EXPECT_EQ(m_page.tempCertFile(), tempCertPath());
    EXPECT_EQ(m_script.shellOpened(), QStringList{tempCertPath()});
    EXPECT_TRUE(m_script.boxes().empty());
    // Only what the driver reported back as delivered is written.
    EXPECT_EQ(TempDirectory::readFile(tempCertPath()), QByteArray::fromStdString(kCertificate.substr(0, 20)));

    recordingDriver().certificate = {"second", {}, {}};
    click(C::ViewCertButton);
    EXPECT_EQ(TempDirectory::readFile(tempCertPath()), QByteArray("second")) << "rewritten on every press";

    // The page's close request takes the file away.
    QCloseEvent close;
    QCoreApplication::sendEvent(&m_page, &close);
    EXPECT_FALSE(QFile::exists(tempCertPath()));
}

TEST_F(CspPageTest, ViewCertificateNeverWritesThroughWhatWasPlantedAtTheTemporaryName)
{
    recordingDriver().certificate = {"certificate", {}, {}};
    const QByteArray name = QFile::encodeName(tempCertPath());
    // Someone reads the planted pipe, so a writer that trusted it would not even block.
    ASSERT_EQ(::mkfifo(name.constData(), 0600), 0);
    const int reader = ::open(name.constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    click(C::ViewCertButton);
    char drained[16];
    EXPECT_LE(::read(reader, drained, sizeof drained), 0) << "the pipe received the certificate";
    ::close(reader);
    EXPECT_EQ(TempDirectory::readFile(tempCertPath()), QByteArray("certificate"));

    if (::geteuid() == 0) {
        ASSERT_TRUE(QFile::remove(tempCertPath()));
        TempDirectory::writeFile(tempCertPath(), "theirs");
        ASSERT_EQ(::chmod(name.constData(), 0666), 0);
        ASSERT_EQ(::chown(name.constData(), 65534, 65534), 0);
        const int theirs = ::open(name.constData(), O_RDONLY);
        ASSERT_GE(theirs, 0);
        click(C::ViewCertButton);
        char kept[16] = {};
        EXPECT_EQ(::pread(theirs, kept, sizeof kept, 0), 6);
        EXPECT_STREQ(kept, "theirs") << "another user's file received the certificate";
        ::close(theirs);
        EXPECT_EQ(QFileInfo(tempCertPath()).ownerId(), ::getuid());
    }
    EXPECT_EQ(m_script.shellOpened().size(), ::geteuid() == 0 ? 2 : 1);
    EXPECT_TRUE(m_script.boxes().empty());
}

TEST_F(CspPageTest, ViewCertificateWithoutACertificateStartsNoViewer)
{
    struct Case {
        const char* name;
        std::map<std::string, int32_t> failures;
        std::optional<uint32_t> announced;
    } cases[] = {
        {"no key", {{"TLKeyReadCert", 1}}, {}},
        {"driver error", {{"TLKeyReadCert", 5}}, {}},
        {"the second read alone fails", {{"TLKeyReadCert/buffer", 5}}, {}},
        {"a length no key gives", {}, TwoCallRead::kMaxLength + 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_script.clearRecords();
        recordingDriver().failures = c.failures;
        recordingDriver().certificate.announcedLength = c.announced;
        answerBoxes(1);
        click(C::ViewCertButton);

        ASSERT_EQ(m_script.boxes().size(), 1u);
        expectPageBox(m_script.boxes()[0], QStringLiteral("设备中没有数字证书!"), QStringLiteral("提示"),
                      BoxIcon::Information);
        EXPECT_TRUE(m_script.shellOpened().isEmpty());
        EXPECT_EQ(m_page.tempCertFile(), tempCertPath());
        EXPECT_FALSE(QFile::exists(tempCertPath()));
    }
}

TEST_F(CspPageTest, ViewCertificateFileErrorAbandonsTheHandler)
{
    ASSERT_TRUE(QDir().mkpath(tempCertPath())) << "a directory where the file should go";
    answerBoxes(1);
    click(C::ViewCertButton);

    ASSERT_EQ(m_script.boxes().size(), 1u);
    const MessageBoxRequest& box = m_script.boxes()[0];
    EXPECT_EQ(box.text, QStringLiteral("对 %1 的存取被拒绝。").arg(tempCertPath()));
    EXPECT_EQ(box.caption, applicationName());
    EXPECT_EQ(box.icon, BoxIcon::Error);
    EXPECT_EQ(box.owner, &m_mainWindow);
    EXPECT_TRUE(m_script.shellOpened().isEmpty());
}

TEST_F(CspPageTest, TemporaryPathLongerThanItsBufferIsRefusedNotCut)
{
    const qsizetype suffix = QStringLiteral("/talvo-tool/__tmpCertFile.cer").size();
    for (qsizetype pathBytes : {259, 260}) {
        SCOPED_TRACE(pathBytes);
        // The private directory lands exactly deep enough for a path of that many bytes.
        QString deep = m_runtime.path() + QStringLiteral("/%1").arg(pathBytes);
        const qsizetype target = pathBytes - suffix;
        while (target - deep.size() > 51)
            deep += QLatin1Char('/') + QString(50, QLatin1Char('d'));
        deep += target - deep.size() > 1
                    ? QLatin1Char('/') + QString(target - deep.size() - 1, QLatin1Char('d'))
                    : QString(target - deep.size(), QLatin1Char('d'));
        ASSERT_TRUE(QDir().mkpath(deep));
        testing::ScopedEnvironment runtime("XDG_RUNTIME_DIR", QFile::encodeName(deep));
        ASSERT_EQ(QFile::encodeName(tempCertPath()).size(), pathBytes);
        m_script.clearRecords();
        recordingDriver().calls.clear();

        answerBoxes(pathBytes < 260 ? 0 : 1);
        click(C::ViewCertButton);

        if (pathBytes < 260) {
            EXPECT_TRUE(m_script.boxes().empty());
            EXPECT_EQ(m_page.tempCertFile(), tempCertPath());
            EXPECT_EQ(m_script.shellOpened(), QStringList{tempCertPath()});
            continue;
        }
        ASSERT_EQ(m_script.boxes().size(), 1u);
        const MessageBoxRequest& box = m_script.boxes()[0];
        EXPECT_TRUE(box.text.contains(QStringLiteral("超过 259 字节"))) << box.text.toStdString();
        EXPECT_TRUE(box.text.contains(tempCertPath()));
        EXPECT_EQ(box.caption, QStringLiteral("错误"));
        EXPECT_EQ(box.icon, BoxIcon::Error);
        EXPECT_EQ(box.owner, &m_page);
        EXPECT_EQ(m_page.tempCertFile(), QString());
        EXPECT_TRUE(recordingDriver().calls.empty());
        EXPECT_TRUE(m_script.shellOpened().isEmpty());
    }
}

TEST_F(CspPageTest, VerifyHandsEachLengthAndBufferToItsOwnPlace)
{
    auto& driver = recordingDriver();
    driver.signature.bytes = std::string(256, 'S');
    driver.publicKey.bytes = std::string(294, 'K');
    answerBoxes(1);
    click(C::VerifyButton);

    ASSERT_EQ(m_script.boxes().size(), 1u);
    expectPageBox(m_script.boxes()[0], QStringLiteral("OK"), applicationName(), BoxIcon::None);
    EXPECT_EQ(driver.calls,
              (std::vector<DriverCall>{
                  {"TLKeyGetSignature", {"730264", "6", "null", "0"}},
                  {"TLKeyGetSignature", {"730264", "6", "buffer", "256"}},
                  {"TLKeyGetPublicKey", {"null", "0"}},
                  {"TLKeyGetPublicKey", {"buffer", "294"}},
                  {"TLVerifySign",
                   {"730264", "6", driver.publicKey.bytes, "294", driver.signature.bytes, "256", "0"}},
              }));

    struct Case {
        const char* name;
        TwoCallData signature;
        std::map<std::string, int32_t> failures;
        const char* shown;
    } cases[] = {
        // Reported back longer than the buffer: the driver still sees only what it was given.
        {"lengths past the buffers", {std::string(256, 'S'), {}, 4096u}, {}, "OK"},
        {"a length no key gives", {"S", TwoCallRead::kMaxLength + 1, {}}, {}, "Failed"},
        {"no signature", {std::string(256, 'S'), {}, {}}, {{"TLKeyGetSignature", 5}}, "Failed"},
        {"verify fails", {std::string(256, 'S'), {}, {}}, {{"TLVerifySign", 2}}, "Failed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_script.clearRecords();
        driver.calls.clear();
        driver.signature = c.signature;
        driver.publicKey.deliveredLength = 9999u;
        driver.failures = c.failures;
        answerBoxes(1);
        click(C::VerifyButton);
        EXPECT_EQ(m_script.boxTexts(), QStringList{QString::fromLatin1(c.shown)});
    }

    // No status stops it: whichever call fails, every call is still made.
    driver.signature = {std::string(256, 'S'), {}, {}};
    for (const char* failing : {"TLKeyGetSignature", "TLKeyGetPublicKey", "TLVerifySign"}) {
        SCOPED_TRACE(failing);
        m_script.clearRecords();
        driver.calls.clear();
        driver.failures = {{failing, 5}};
        answerBoxes(1);
        click(C::VerifyButton);
        EXPECT_EQ(testing::callNames(),
                  (std::vector<std::string>{"TLKeyGetSignature", "TLKeyGetSignature", "TLKeyGetPublicKey",
                                            "TLKeyGetPublicKey", "TLVerifySign"}));
        EXPECT_EQ(m_script.boxTexts(), QStringList{QStringLiteral("Failed")});
    }
}

TEST_F(CspPageTest, FailedGenerateSaysSoAndKeepsBothPathFields)
{
    const QString document = m_runtime.file(QStringLiteral("合同.txt"));
    TempDirectory::writeFile(document, "document");
    choose(C::OriginalFileBrowse, document);
    choose(C::SavePathBrowse, document);
    answerBoxes(2);
    click(C::GenerateButton);

    EXPECT_EQ(m_script.boxTexts(), QStringList({QStringLiteral("输入文件和输出文件不能是同一个文件"),
                                                QStringLiteral("生成安全报文失败!")}));
    ASSERT_EQ(m_script.boxes().size(), 2u);
    EXPECT_EQ(m_script.boxes()[1].owner, &m_mainWindow);
    EXPECT_EQ(m_script.boxes()[1].icon, BoxIcon::Warning);
    EXPECT_EQ(text(C::OriginalFileEdit), document);
    EXPECT_EQ(text(C::SavePathEdit), document);
}

TEST_F(CspPageTest, CspNameAndUserKeyShowTheDriversAnswers)
{
    auto& driver = recordingDriver();
    const std::string name = "MERO Cryptographic Service Provider v1.0.0";
    driver.cspName = std::vector<char>(name.begin(), name.end());
    driver.cspName->push_back('\0');
    answerBoxes(3);
    click(C::CspNameButton);
    // Unterminated: cut where a provider name must have ended.
    driver.cspName = std::vector<char>(300, 'N');
    click(C::CspNameButton);
    driver.cspName.reset();
    click(C::CspNameButton);
    EXPECT_EQ(m_script.boxTexts(),
              QStringList({QString::fromStdString(name), QString(256, QLatin1Char('N')), QString()}));

    m_script.clearRecords();
    driver.calls.clear();
    answerBoxes(1);
    click(C::UserKeyButton);
    driver.present = false;
    click(C::UserKeyButton);
    ASSERT_EQ(m_script.boxes().size(), 1u);
    expectPageBox(m_script.boxes()[0], QStringLiteral("锁存在"), applicationName(), BoxIcon::None);
    EXPECT_EQ(driver.calls, (std::vector<DriverCall>{{"TLKeyIsExist", {"0"}}, {"TLKeyIsExist", {"0"}}}));
}

TEST_F(CspPageTest, ExportOpensTheDialogWithThePagesBinding)
{
    KeyDriverBinding* handed = nullptr;
    QWidget* parent = &m_host;
    m_script.scriptModal([&](QDialog& dialog) {
        auto* exportDialog = qobject_cast<CertExportDialog*>(&dialog);
        ASSERT_NE(exportDialog, nullptr);
        handed = exportDialog->binding();
        parent = exportDialog->parentWidget();
        EXPECT_TRUE(exportDialog->exportPath().isEmpty());
    });
    click(C::ExportCertButton);
    EXPECT_EQ(m_script.modalDialogs(), QStringList{QStringLiteral("talvo::CertExportDialog")});
    EXPECT_EQ(handed, &m_binding);
    EXPECT_EQ(parent, nullptr);
    EXPECT_TRUE(recordingDriver().calls.empty());
}

} // namespace
} // namespace talvo
