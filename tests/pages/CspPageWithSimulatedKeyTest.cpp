// The cryptographic service page end to end: the simulated key's driver for the certificate and
// signature buttons, the software provider over the key's container for the secure messages.
#include "device/KeyDriverBinding.h"
#include "pages/CertExportDialog.h"
#include "pages/CspPage.h"
#include "platform/core/CertificateDetails.h"
#include "resources/ControlIds.h"
#include "support/ScriptedInteraction.h"
#include "support/SimulatedKey.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <functional>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace talvo {
namespace {

using testing::SimulatedKey;
using testing::TempDirectory;
namespace C = ids::csp;

const QString kSucceeded = QStringLiteral("生成安全报文成功!");
const QString kFailed = QStringLiteral("生成安全报文失败!");

class CspPageWithSimulatedKeyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setMainWindow(&m_mainWindow);
        m_page.createAsChild(&m_host);
        m_page.setBinding(&m_binding);
        ASSERT_TRUE(m_binding.isLibraryLoaded());
    }
    void TearDown() override
    {
        EXPECT_TRUE(m_script.allScriptsUsed());
        setMainWindow(nullptr);
    }

    void click(int id) { m_page.controlAs<QPushButton>(id)->click(); }
    QString text(int id) const { return m_page.itemText(id); }
    void choose(int browseButton, const QString& path)
    {
        m_script.answerFileDialog(path);
        click(browseButton);
    }
    void answerBoxes(int count)
    {
        for (int i = 0; i < count; ++i)
            m_script.answerBox(BoxResult::Ok);
    }
    void expectApplicationBox(std::size_t index, const QString& text) const
    {
        ASSERT_GT(m_script.boxes().size(), index);
        const MessageBoxRequest& box = m_script.boxes()[index];
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.caption, applicationName());
        EXPECT_EQ(box.icon, BoxIcon::Warning);
        EXPECT_EQ(box.owner, &m_mainWindow);
    }

    SimulatedKey m_key{SimulatedKey::Content::Demo};
    TempDirectory m_files;
    testing::ScopedEnvironment m_runtime{"XDG_RUNTIME_DIR", QFile::encodeName(m_files.path())};
    ScriptedInteraction m_script;
    QWidget m_mainWindow;
    QWidget m_host;
    KeyDriverBinding m_binding;
    CspPage m_page;
};

TEST_F(CspPageWithSimulatedKeyTest, PacksAndUnpacksOnThePageByteForByte)
{
    QByteArray document;
    for (int i = 0; i < 2500; ++i)
        document.append(static_cast<char>(i * 7));
    const QString source = m_files.file(QStringLiteral("合同.pdf"));
    const QString secure = m_files.file(QStringLiteral("合同.sec"));
    const QString target = m_files.file(QStringLiteral("合同-解析.pdf"));
    TempDirectory::writeFile(source, document);

    choose(C::OriginalFileBrowse, source);
    choose(C::SavePathBrowse, secure);
    answerBoxes(2);
    click(C::GenerateButton);
    expectApplicationBox(0, kSucceeded);
    EXPECT_EQ(text(C::OriginalFileEdit), QString());
    EXPECT_EQ(text(C::SavePathEdit), QString());
    ASSERT_TRUE(QFile::exists(secure));

    // The fields are empty, the stored paths are not: a second press writes the file again.
    QFile::remove(secure);
    click(C::GenerateButton);
    expectApplicationBox(1, kSucceeded);
    ASSERT_TRUE(QFile::exists(secure));

    choose(C::SecureFileBrowse, secure);
    choose(C::TargetFileBrowse, target);
    answerBoxes(1);
    click(C::ParseButton);
    expectApplicationBox(2, kSucceeded);
    EXPECT_EQ(text(C::SecureFileEdit), QString());
    EXPECT_EQ(text(C::TargetFileEdit), QString());
    EXPECT_EQ(TempDirectory::readFile(target), document);
}

TEST_F(CspPageWithSimulatedKeyTest, FailedParseEmptiesOnlyTheSecureFileField)
{
    const QString secure = m_files.file(QStringLiteral("empty.sec"));
    const QString target = m_files.file(QStringLiteral("out.txt"));
    TempDirectory::writeFile(secure, QByteArray());
    choose(C::SecureFileBrowse, secure);
    choose(C::TargetFileBrowse, target);
    answerBoxes(2);
    click(C::ParseButton);

    ASSERT_EQ(m_script.boxes().size(), 2u);
    const MessageBoxRequest& own = m_script.boxes()[0];
    EXPECT_EQ(own.text, QStringLiteral("导入密钥错误"));
    EXPECT_EQ(own.caption, QStringLiteral("错误"));
    EXPECT_EQ(own.owner, &m_page);
    expectApplicationBox(1, kFailed);
    EXPECT_EQ(text(C::SecureFileEdit), QString());
    EXPECT_EQ(text(C::TargetFileEdit), target);
}

// A named pipe with no peer, as the pack output or as the message to unpack, is answered at
// once. Should a button wait on it, the peer that comes after a while ends the wait.
TEST_F(CspPageWithSimulatedKeyTest, APipeWithoutPeerIsAnsweredAtOnce)
{
    const QString source = m_files.file(QStringLiteral("doc.txt"));
    TempDirectory::writeFile(source, "a document");
    const QString pipe = m_files.file(QStringLiteral("pipe.sec"));
    // A writer whose reader left would otherwise end the test program.
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const struct {
        const char* what;
        int peerMode;
        std::function<void()> press;
    } cases[] = {
        {"pack into a pipe that no one reads", O_RDONLY,
         [&] {
             choose(C::OriginalFileBrowse, source);
             choose(C::SavePathBrowse, pipe);
             click(C::GenerateButton);
         }},
        {"unpack a pipe that no one writes", O_WRONLY,
         [&] {
             choose(C::SecureFileBrowse, pipe);
             choose(C::TargetFileBrowse, m_files.file(QStringLiteral("out.txt")));
             click(C::ParseButton);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        m_script.clearRecords();
        m_script.onBox([this](const MessageBoxRequest&) { m_script.answerBox(BoxResult::Ok); });
        std::atomic<bool> done = false;
        std::thread peer([&] {
            for (int i = 0; i < 50 && !done; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (!done)
                ::close(::open(QFile::encodeName(pipe).constData(), c.peerMode | O_NONBLOCK));
        });
        QElapsedTimer timer;
        timer.start();
        c.press();
        const qint64 elapsed = timer.elapsed();
        done = true;
        peer.join();
        m_script.onBox({});
        EXPECT_LT(elapsed, 2000);
        ASSERT_FALSE(m_script.boxes().empty());
        expectApplicationBox(m_script.boxes().size() - 1, kFailed);
    }
    EXPECT_FALSE(QFile::exists(m_files.file(QStringLiteral("out.txt"))));
    std::signal(SIGPIPE, previous);
}

TEST_F(CspPageWithSimulatedKeyTest, CertificateAndSignatureButtonsOnTheDemoKey)
{
    answerBoxes(4);
    click(C::CertTextButton);
    click(C::VerifyButton);
    click(C::CspNameButton);
    click(C::UserKeyButton);
    const QStringList texts = m_script.boxTexts();
    ASSERT_EQ(texts.size(), 4);
    EXPECT_TRUE(texts[0].startsWith(QStringLiteral("-----BEGIN CERTIFICATE-----\n")))
        << texts[0].toStdString();
    EXPECT_EQ(texts.mid(1),
              QStringList({QStringLiteral("OK"), QStringLiteral("MERO Cryptographic Service Provider v1.0.0"),
                           QStringLiteral("锁存在")}));

    // The certificate on screen and in an exported file is the key's own, readable anywhere.
    click(C::ViewCertButton);
    ASSERT_EQ(m_script.shellOpened().size(), 1);
    const std::optional<CertificateDetails> viewed = readCertificateFile(m_script.shellOpened()[0]);
    ASSERT_TRUE(viewed);
    EXPECT_TRUE(viewed->subject.contains(QStringLiteral("CN = TLV-2026-00017")))
        << viewed->subject.toStdString();

    const QString exported = m_files.file(QStringLiteral("key.cer"));
    m_script.scriptModal([&](QDialog& dialog) {
        auto& exportDialog = static_cast<CertExportDialog&>(dialog);
        exportDialog.setItemText(ids::certExport::PathEdit, exported);
        exportDialog.controlAs<QPushButton>(ids::certExport::ExportButton)->click();
    });
    answerBoxes(1);
    click(C::ExportCertButton);
    EXPECT_EQ(m_script.boxTexts().last(), QStringLiteral("导出证书成功"));
    const std::optional<CertificateDetails> written = readCertificateFile(exported);
    ASSERT_TRUE(written);
    EXPECT_EQ(written->sha256Fingerprint, viewed->sha256Fingerprint);
}

} // namespace
} // namespace talvo
