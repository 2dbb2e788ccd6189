#include "platform/CertificateWindow.h"
#include "TestCertificate.h"
#include "platform/QtInteraction.h"
#include "support/TempDirectory.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QUrl>
#include <QWindow>

#include <gtest/gtest.h>

namespace talvo {
namespace {

using testing::ScopedEnvironment;
using testing::TempDirectory;
using testing::testCertificate;

QStringList fieldTexts(const QWidget& window)
{
    QStringList texts;
    for (const QLineEdit* edit : window.findChildren<QLineEdit*>())
        texts << edit->text();
    return texts;
}

TEST(CertificateWindowTest, ShowsTheFieldsReadOnlyOrSaysWhyNot)
{
    TempDirectory dir;
    TempDirectory::writeFile(dir.file("key.cer"), testCertificate().pem);
    CertificateWindow window(dir.file("key.cer"));
    EXPECT_TRUE(window.hasCertificate());
    EXPECT_TRUE(window.isWindow());
    const QStringList texts = fieldTexts(window);
    ASSERT_EQ(texts.size(), 8);
    EXPECT_EQ(texts[0], QStringLiteral("C = CN, O = 测试单位, CN = TLV-TEST-1"));
    EXPECT_EQ(texts[2], QStringLiteral("0123456789ABCDEF01"));
    for (const QLineEdit* edit : window.findChildren<QLineEdit*>())
        EXPECT_TRUE(edit->isReadOnly());
    // Titled by whom it was issued to, not by the temporary file; Esc closes it.
    EXPECT_EQ(window.windowTitle(), QStringLiteral("证书 - TLV-TEST-1"));
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(window.windowHandle(), Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());

    TempDirectory::writeFile(dir.file("bad.cer"), "<b>not a certificate</b>");
    CertificateWindow bad(dir.file("bad.cer"));
    EXPECT_FALSE(bad.hasCertificate());
    EXPECT_EQ(bad.windowTitle(), QStringLiteral("证书"));
    EXPECT_TRUE(fieldTexts(bad).isEmpty());
    const QList<QLabel*> labels = bad.findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 1);
    EXPECT_TRUE(labels[0]->text().contains(dir.file("bad.cer")));
    EXPECT_EQ(labels[0]->textFormat(), Qt::PlainText);
}

// Takes the desktop's "open" of file URLs, as a registered viewer would.
class OpenedUrls : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

class QtInteractionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TempDirectory::writeFile(m_files.file("__tmpCertFile.cer"), testCertificate().pem);
        setMainWindow(&m_mainWindow);
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &m_opened, "open");
    }
    void TearDown() override
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        setMainWindow(nullptr);
    }
    QString certificate() const { return m_files.file("__tmpCertFile.cer"); }
    QList<CertificateWindow*> windows() const { return m_mainWindow.findChildren<CertificateWindow*>(); }

    TempDirectory m_files;
    TempDirectory m_bin;
    QWidget m_mainWindow;
    OpenedUrls m_opened;
    QtInteraction m_seam;
};

TEST_F(QtInteractionTest, ShellOpenUsesTheDesktopsCertificateViewerWhereOneIsRegistered)
{
    const QString xdgMime = m_bin.file("xdg-mime");
    TempDirectory::writeFile(xdgMime, "#!/bin/sh\necho org.example.CertViewer.desktop\n");
    QFile::setPermissions(xdgMime, QFile::ReadOwner | QFile::ExeOwner);
    ScopedEnvironment path("PATH", QFile::encodeName(m_bin.path()));

    EXPECT_TRUE(m_seam.shellOpen(certificate()));
    EXPECT_EQ(m_opened.urls, QList<QUrl>{QUrl::fromLocalFile(certificate())});
    EXPECT_TRUE(windows().isEmpty());
}

TEST_F(QtInteractionTest, ShellOpenShowsOurOwnWindowWhereTheDesktopHasNone)
{
    ScopedEnvironment path("PATH", QFile::encodeName(m_bin.path()));
    EXPECT_TRUE(m_seam.shellOpen(certificate()));
    EXPECT_TRUE(m_opened.urls.isEmpty());
    const QList<CertificateWindow*> shown = windows();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0]->isVisible());
    EXPECT_TRUE(shown[0]->isWindow());
    EXPECT_TRUE(shown[0]->hasCertificate());
    EXPECT_TRUE(shown[0]->testAttribute(Qt::WA_DeleteOnClose));
    // The window read the file when it opened: the page may delete it meanwhile.
    QFile::remove(certificate());
    EXPECT_EQ(fieldTexts(*shown[0]).size(), 8);
}

} // namespace
} // namespace talvo

#include "CertificateWindowTest.moc"
