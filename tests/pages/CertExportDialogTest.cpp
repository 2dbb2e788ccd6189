#include "pages/CertExportDialog.h"
#include "PageTestSupport.h"
#include "device/KeyDriverBinding.h"
#include "key/TwoCallRead.h"
#include "resources/ControlIds.h"
#include "support/ScriptedInteraction.h"
#include "support/TempDirectory.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace talvo {
namespace {

using testing::DriverCall;
using testing::recordingDriver;
using testing::TempDirectory;
namespace E = ids::certExport;

const std::string kCertificate =
    "-----BEGIN CERTIFICATE-----\nMIIBkTCB+wIJAKHBfpegPjMC\n-----END CERTIFICATE-----\n";
const QString kNotice = QStringLiteral("提示");

class CertExportDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        recordingDriver().reset();
        recordingDriver().certificate.bytes = kCertificate;
        setMainWindow(&m_mainWindow);
        m_dialog.setBinding(&m_binding);
        m_dialog.show();
    }
    void TearDown() override
    {
        EXPECT_TRUE(m_script.allScriptsUsed());
        setMainWindow(nullptr);
    }

    void click(int id) { m_dialog.controlAs<QPushButton>(id)->click(); }
    void typePath(const QString& path) { m_dialog.setItemText(E::PathEdit, path); }
    void answerBoxes(int count)
    {
        for (int i = 0; i < count; ++i)
            m_script.answerBox(BoxResult::Ok);
    }
    void expectBox(std::size_t index, const QString& text, const QString& caption, BoxIcon icon) const
    {
        ASSERT_GT(m_script.boxes().size(), index);
        const MessageBoxRequest& box = m_script.boxes()[index];
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.caption, caption);
        EXPECT_EQ(box.icon, icon);
        EXPECT_EQ(box.owner, &m_dialog);
    }

    TempDirectory m_files;
    ScriptedInteraction m_script;
    QWidget m_mainWindow;
    KeyDriverBinding m_binding;
    CertExportDialog m_dialog;
};

TEST_F(CertExportDialogTest, EmptyPathWarnsAndStaysOpen)
{
    answerBoxes(1);
    click(E::ExportButton);
    ASSERT_EQ(m_script.boxes().size(), 1u);
    expectBox(0, QStringLiteral("请输入签名文件的路径!"), kNotice, BoxIcon::Warning);
    EXPECT_TRUE(m_dialog.isVisible());
    EXPECT_TRUE(recordingDriver().calls.empty());
}

TEST_F(CertExportDialogTest, TypedPathReceivesTheCertificateAndTheDialogCloses)
{
    const QString path = m_files.file(QStringLiteral("证书.cer"));
    TempDirectory::writeFile(path, QByteArray(4000, 'x')); // truncated, not appended to
    typePath(path);
    answerBoxes(1);
    click(E::ExportButton);

    ASSERT_EQ(m_script.boxes().size(), 1u);
    expectBox(0, QStringLiteral("导出证书成功"), kNotice, BoxIcon::Information);
    EXPECT_EQ(TempDirectory::readFile(path), QByteArray::fromStdString(kCertificate));
    EXPECT_FALSE(m_dialog.isVisible());
    EXPECT_EQ(m_dialog.result(), TemplateDialog::IDOK);
    EXPECT_EQ(m_dialog.exportPath(), path);
    const std::string length = std::to_string(kCertificate.size());
    EXPECT_EQ(recordingDriver().calls, (std::vector<DriverCall>{{"TLKeyIsExist", {"4"}},
                                                                {"TLKeyReadCert", {"null", "0"}},
                                                                {"TLKeyReadCert", {"buffer", length}}}));
}

TEST_F(CertExportDialogTest, FailuresShowTheirBoxThenFailedAndClose)
{
    struct Case {
        const char* name;
        bool present;
        std::map<std::string, int32_t> failures;
        std::optional<uint32_t> announced;
        QString text;
        QString caption;
        BoxIcon icon;
    } cases[] = {
        {"no key", false, {}, {}, QStringLiteral("设备不存在"), kNotice, BoxIcon::Information},
        {"driver error",
         true,
         {{"TLKeyReadCert", 5}},
         {},
         QStringLiteral("API函数调用失败。"),
         QStringLiteral("错误"),
         BoxIcon::Error},
        {"the second read alone fails",
         true,
         {{"TLKeyReadCert/buffer", 5}},
         {},
         QStringLiteral("API函数调用失败。"),
         QStringLiteral("错误"),
         BoxIcon::Error},
        {"a length no key gives",
         true,
         {},
         TwoCallRead::kMaxLength + 1,
         QStringLiteral("内存错误。"),
         QStringLiteral("错误"),
         BoxIcon::Error},
    };
    const QString path = m_files.file(QStringLiteral("key.cer"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_script.clearRecords();
        recordingDriver().present = c.present;
        recordingDriver().failures = c.failures;
        recordingDriver().certificate.announcedLength = c.announced;
        m_dialog.show();
        typePath(path);
        answerBoxes(2);
        click(E::ExportButton);

        ASSERT_EQ(m_script.boxes().size(), 2u);
        expectBox(0, c.text, c.caption, c.icon);
        expectBox(1, QStringLiteral("导出证书失败"), kNotice, BoxIcon::Information);
        EXPECT_FALSE(m_dialog.isVisible());
        EXPECT_FALSE(QFile::exists(path));
    }
}

TEST_F(CertExportDialogTest, FileErrorShowsTheFileErrorBoxAndKeepsTheDialogOpen)
{
    const QString path = m_files.file(QStringLiteral("missing-folder/key.cer"));
    typePath(path);
    answerBoxes(1);
    click(E::ExportButton);

    ASSERT_EQ(m_script.boxes().size(), 1u);
    const MessageBoxRequest& box = m_script.boxes()[0];
    EXPECT_EQ(box.text, QStringLiteral("%1 中包含无效的路径。").arg(path));
    EXPECT_EQ(box.caption, applicationName());
    EXPECT_EQ(box.icon, BoxIcon::Error);
    EXPECT_EQ(box.owner, &m_mainWindow);
    EXPECT_TRUE(m_dialog.isVisible());
}

TEST_F(CertExportDialogTest, BrowseOffersCertificateFilesAndCancelKeepsThePath)
{
    const QString chosen = m_files.file(QStringLiteral("chosen.cer"));
    m_script.answerFileDialog(chosen);
    m_script.answerFileDialog(std::nullopt);
    click(E::BrowseButton);
    click(E::BrowseButton);

    ASSERT_EQ(m_script.fileDialogs().size(), 2u);
    const FileDialogRequest& request = m_script.fileDialogs()[0];
    EXPECT_FALSE(request.open);
    EXPECT_EQ(request.defaultExtension, QStringLiteral("cer"));
    EXPECT_EQ(request.filter, QStringLiteral("证书文件(*.cer)|*.cer||"));
    EXPECT_TRUE(request.initialFileName.isEmpty());
    EXPECT_EQ(m_dialog.itemText(E::PathEdit), chosen);
    EXPECT_EQ(m_dialog.exportPath(), chosen);
    EXPECT_TRUE(m_dialog.isVisible());
    EXPECT_TRUE(recordingDriver().calls.empty());
}

TEST_F(CertExportDialogTest, CancelAndEscCloseWithoutExporting)
{
    const QString path = m_files.file(QStringLiteral("key.cer"));
    struct Case {
        const char* name;
        std::function<void()> close;
        int result;
    } cases[] = {
        {"取消", [this] { click(E::CancelButton); }, TemplateDialog::IDCANCEL},
        {"Esc", [this] { QTest::keyClick(m_dialog.control(E::PathEdit), Qt::Key_Escape); },
         TemplateDialog::IDCANCEL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_dialog.show();
        m_dialog.control(E::PathEdit)->setFocus();
        typePath(path);
        c.close();
        EXPECT_FALSE(m_dialog.isVisible());
        EXPECT_EQ(m_dialog.result(), c.result);
    }
    EXPECT_TRUE(recordingDriver().calls.empty());
    EXPECT_TRUE(m_script.boxes().empty());
    EXPECT_FALSE(QFile::exists(path));
}

// A typed path and Enter export, as "确定" does: the dialog never closes with nothing written.
TEST_F(CertExportDialogTest, EnterInThePathFieldExports)
{
    const QString path = m_files.file(QStringLiteral("key.cer"));
    m_dialog.control(E::PathEdit)->setFocus();
    typePath(path);
    answerBoxes(1);
    QTest::keyClick(m_dialog.control(E::PathEdit), Qt::Key_Return);

    expectBox(0, QStringLiteral("导出证书成功"), kNotice, BoxIcon::Information);
    EXPECT_EQ(TempDirectory::readFile(path), QByteArray::fromStdString(kCertificate));
    EXPECT_FALSE(m_dialog.isVisible());
    EXPECT_EQ(m_dialog.result(), TemplateDialog::IDOK);
}

} // namespace
} // namespace talvo
