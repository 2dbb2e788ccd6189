#include "platform/widgets/CertificateWindow.h"
#include "TestCertificate.h"
#include "platform/widgets/CertificateViewerLaunch.h"
#include "platform/widgets/QtInteraction.h"
#include "support/TempDirectory.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <tuple>

namespace talvo {
namespace {

using testing::hostileCertificate;
using testing::TempDirectory;
using testing::testCertificate;

// A long value wraps in a text box of its own; the rest are line edits.
QStringList fieldTexts(const QWidget& window)
{
    QStringList texts;
    for (const QWidget* field : window.findChildren<QWidget*>()) {
        if (const auto* edit = qobject_cast<const QLineEdit*>(field))
            texts << edit->text();
        else if (const auto* box = qobject_cast<const QPlainTextEdit*>(field))
            texts << box->toPlainText();
    }
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
    for (const QPlainTextEdit* box : window.findChildren<QPlainTextEdit*>())
        EXPECT_TRUE(box->isReadOnly());
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

TEST(CertificateWindowTest, LongFieldsWrapWithinTheScreenAndControlsShowEscaped)
{
    TempDirectory dir;
    TempDirectory::writeFile(dir.file("key.cer"), hostileCertificate().der);
    CertificateWindow window(dir.file("key.cer"));
    ASSERT_TRUE(window.hasCertificate());
    EXPECT_LE(window.sizeHint().width(), window.screen()->availableGeometry().width());
    const QStringList texts = fieldTexts(window);
    ASSERT_EQ(texts.size(), 8);
    EXPECT_EQ(texts[2], QStringLiteral("5A").repeated(8192));
    EXPECT_EQ(texts[0], QStringLiteral("C = CN, O = 测试单位, CN = TLV-\\u202Egpj.exe\\0D\\0ACN = forged"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("证书 - TLV-\\u202Egpj.exe\\r\\nCN = forged"));
}

// The desktop as a test plays it: the viewer it names for certificates (none when empty), a
// lookup that hangs until released (5 s at most: a seam that waited fails rather than hangs),
// a viewer that cannot start. It records every start.
struct StandInDesktop : DesktopAssociations {
    QString viewer;
    bool hangs = false;
    bool starts = true;
    std::mutex mutex;
    std::condition_variable releasing;
    bool released = false;
    QStringList launched;

    QString defaultApplication(const QStringList& mimeTypes) override
    {
        std::unique_lock lock(mutex);
        releasing.wait_for(lock, std::chrono::seconds(5), [this] { return !hangs || released; });
        return mimeTypes.startsWith(QStringLiteral("application/pkix-cert")) ? viewer : QString();
    }
    bool launch(const QString& desktopEntry, const QString& path) override
    {
        const std::lock_guard lock(mutex);
        launched << desktopEntry + QLatin1Char(' ') + path;
        return starts;
    }
};

// Over the main window wherever that is, and never past the screen's edge.
TEST(CertificateWindowTest, OpensCentredOnItsOwnerAndWholeOnTheScreen)
{
    TempDirectory dir;
    TempDirectory::writeFile(dir.file("key.cer"), testCertificate().pem);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QSize ownerSize(300, 200);
    const struct {
        const char* where;
        QPoint ownerAt;
        bool centred;
    } cases[] = {
        {"middle", area.center() - QPoint(ownerSize.width() / 2, ownerSize.height() / 2), true},
        {"bottom right", area.bottomRight() - QPoint(ownerSize.width() / 2, ownerSize.height() / 3), false},
        {"top left", area.topLeft(), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        QWidget owner;
        owner.setGeometry(QRect(c.ownerAt, ownerSize));
        owner.show();
        CertificateWindow window(dir.file("key.cer"), &owner);
        window.show();
        const QRect placed = window.frameGeometry();
        EXPECT_TRUE(area.contains(placed))
            << placed.x() << "," << placed.y() << " " << placed.width() << "x" << placed.height();
        if (c.centred) {
            const QPoint offset = placed.center() - owner.frameGeometry().center();
            EXPECT_LE(offset.manhattanLength(), 2) << offset.x() << "," << offset.y();
        }
    }
}

TEST(QtInteractionTest, OurWindowShowsWhereTheDesktopsViewerDoesNotStartInTime)
{
    TempDirectory files;
    const QString certificate = files.file("__tmpCertFile.cer");
    TempDirectory::writeFile(certificate, testCertificate().pem);
    QWidget mainWindow;
    setMainWindow(&mainWindow);
    const QString viewer = QStringLiteral("org.example.CertViewer.desktop");
    const struct {
        const char* name;
        QString viewer;
        bool hangs;
        bool starts;
        bool ourWindow;
    } cases[] = {
        {"viewer starts", viewer, false, true, false},
        {"viewer cannot start", viewer, false, false, true},
        {"no viewer named", QString(), false, true, true},
        {"lookup hangs", viewer, true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto desktop = std::make_shared<StandInDesktop>();
        std::tie(desktop->viewer, desktop->hangs, desktop->starts) = std::tuple(c.viewer, c.hangs, c.starts);
        QElapsedTimer clock;
        clock.start();
        EXPECT_TRUE(QtInteraction(desktop, std::chrono::milliseconds(300)).shellOpen(certificate));
        EXPECT_LT(clock.elapsed(), 2500) << "the seam waited for the desktop";
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return mainWindow.findChildren<CertificateViewerLaunch*>().isEmpty(); }));

        const QList<CertificateWindow*> shown = mainWindow.findChildren<CertificateWindow*>();
        ASSERT_EQ(shown.size(), c.ourWindow ? 1 : 0);
        if (c.ourWindow) {
            EXPECT_TRUE(shown[0]->isVisible() && shown[0]->isWindow() && shown[0]->hasCertificate());
        }
        // A desktop that answers after our window has shown starts nothing besides it.
        {
            const std::lock_guard lock(desktop->mutex);
            desktop->released = true;
        }
        desktop->releasing.notify_all();
        QTest::qWait(50);
        const std::lock_guard lock(desktop->mutex);
        EXPECT_EQ(desktop->launched, c.viewer.isEmpty() || c.hangs
                                         ? QStringList()
                                         : QStringList{c.viewer + QLatin1Char(' ') + certificate});
        qDeleteAll(shown);
    }
    setMainWindow(nullptr);
}

} // namespace
} // namespace talvo
