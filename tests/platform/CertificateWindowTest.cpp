#include "platform/CertificateWindow.h"
#include "TestCertificate.h"
#include "platform/CertificateViewerLaunch.h"
#include "platform/QtInteraction.h"
#include "support/TempDirectory.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

namespace talvo {
namespace {

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

// The desktop as a test plays it: the viewer it names (none when empty), a lookup that hangs
// until released, a viewer that cannot start.
class StandInDesktop : public DesktopAssociations {
public:
    StandInDesktop(QString viewer, bool hangs, bool starts)
        : m_viewer(std::move(viewer)), m_hangs(hangs), m_starts(starts)
    {
    }
    QString defaultApplication(const QStringList& mimeTypes) override
    {
        std::unique_lock lock(m_mutex);
        m_asked = mimeTypes;
        // Bounded, so that a seam that waited for the desktop fails the test instead of hanging it.
        m_release.wait_for(lock, std::chrono::seconds(5), [this] { return !m_hangs || m_released; });
        return m_viewer;
    }
    bool launch(const QString& desktopEntry, const QString& path) override
    {
        const std::lock_guard lock(m_mutex);
        m_launched << desktopEntry + QLatin1Char(' ') + path;
        return m_starts;
    }
    void release()
    {
        const std::lock_guard lock(m_mutex);
        m_released = true;
        m_release.notify_all();
    }
    QStringList launched()
    {
        const std::lock_guard lock(m_mutex);
        return m_launched;
    }
    QStringList asked()
    {
        const std::lock_guard lock(m_mutex);
        return m_asked;
    }

private:
    const QString m_viewer;
    const bool m_hangs;
    const bool m_starts;
    std::mutex m_mutex;
    std::condition_variable m_release;
    bool m_released = false;
    QStringList m_asked;
    QStringList m_launched;
};

class QtInteractionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TempDirectory::writeFile(m_files.file("__tmpCertFile.cer"), testCertificate().pem);
        setMainWindow(&m_mainWindow);
    }
    void TearDown() override { setMainWindow(nullptr); }
    QString certificate() const { return m_files.file("__tmpCertFile.cer"); }
    QList<CertificateWindow*> windows() const { return m_mainWindow.findChildren<CertificateWindow*>(); }

    TempDirectory m_files;
    QWidget m_mainWindow;
};

TEST_F(QtInteractionTest, OurWindowShowsWhereTheDesktopsViewerDoesNotStartInTime)
{
    const QString viewer = QStringLiteral("org.example.CertViewer.desktop");
    const struct {
        const char* name;
        QString viewer;
        bool hangs;
        bool starts;
    } cases[] = {
        {"viewer starts", viewer, false, true},
        {"viewer cannot start", viewer, false, false},
        {"no viewer named", QString(), false, true},
        {"lookup hangs", viewer, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto desktop = std::make_shared<StandInDesktop>(c.viewer, c.hangs, c.starts);
        QtInteraction seam(desktop, std::chrono::milliseconds(300));
        QElapsedTimer clock;
        clock.start();
        EXPECT_TRUE(seam.shellOpen(certificate()));
        EXPECT_LT(clock.elapsed(), 2500) << "the seam waited for the desktop";
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return m_mainWindow.findChildren<CertificateViewerLaunch*>().isEmpty(); }));

        const bool viewerStarted = !c.viewer.isEmpty() && !c.hangs && c.starts;
        const QList<CertificateWindow*> shown = windows();
        ASSERT_EQ(shown.size(), viewerStarted ? 0 : 1);
        if (!viewerStarted) {
            EXPECT_TRUE(shown[0]->isVisible());
            EXPECT_TRUE(shown[0]->isWindow());
            EXPECT_TRUE(shown[0]->hasCertificate());
            EXPECT_TRUE(shown[0]->testAttribute(Qt::WA_DeleteOnClose));
        }
        EXPECT_TRUE(desktop->asked().startsWith(QStringLiteral("application/pkix-cert")));
        // A desktop that answers after our window has shown starts nothing besides it.
        desktop->release();
        QTest::qWait(50);
        EXPECT_EQ(desktop->launched().size(), c.viewer.isEmpty() || c.hangs ? 0 : 1);
        if (!desktop->launched().isEmpty()) {
            EXPECT_EQ(desktop->launched()[0], c.viewer + QLatin1Char(' ') + certificate());
        }
        qDeleteAll(shown);
    }
}

} // namespace
} // namespace talvo
