#include "StampPdfs.h"
#include "StampWindowFixture.h"
#include "stamp/window/PageLayout.h"
#include "stamp/window/PageListPanel.h"
#include "stamp/window/PageRenderer.h"
#include "stamp/window/SealList.h"
#include "stamp/window/SealsPanel.h"

#include "support/Typing.h"

#include <QAction>
#include <QDialog>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <functional>

namespace talvo::testing {
namespace {

using StampWindow = StampWindowFixture;

// The red seal's extent along the row through a point of the viewport.
int redRunThrough(const QImage& image, const QPoint& point)
{
    int left = point.x();
    int right = point.x();
    const auto red = [&](int x) {
        const QColor colour = image.pixelColor(x, point.y());
        return colour.red() > 200 && colour.green() < 60 && colour.blue() < 60;
    };
    while (left > 0 && red(left - 1))
        --left;
    while (right < image.width() - 1 && red(right + 1))
        ++right;
    return red(point.x()) ? right - left + 1 : 0;
}

TEST_F(StampWindow, DroppedSealLandsWhereLetGoAtItsTrueSizeAndMovesByKeys)
{
    ASSERT_TRUE(waitForSeals(2));
    ASSERT_TRUE(open(makePdf(m_files.path(), QStringLiteral("letter"), 2)));
    stamp::DocumentView& view = m_window->view();
    for (const double zoom : {0.8, 2.0}) {
        SCOPED_TRACE(zoom);
        view.clearPlacedSeals();
        view.setZoom(zoom);
        const QPoint at = viewportPointOf(0, {35, 30});
        drop(101, at);
        ASSERT_EQ(view.placedSeals().size(), 1u);
        const stamp::PlacedSeal& placed = view.placedSeals().front();
        EXPECT_NEAR(placed.centreMm.x(), 35, 0.5);
        EXPECT_NEAR(placed.centreMm.y(), 30, 0.5);
        EXPECT_DOUBLE_EQ(placed.widthMm, 40);
        const double expected = view.layout().geometry(0).pixelsFromMm(40.0);
        EXPECT_NEAR(redRunThrough(view.viewport()->grab().toImage(), at), expected, 2.0);
    }

    view.setFocus();
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_BracketRight);
    const stamp::PlacedSeal& moved = view.placedSeals().front();
    EXPECT_NEAR(moved.centreMm.x(), 36, 0.5);
    EXPECT_NEAR(moved.centreMm.y(), 40, 0.5);
    EXPECT_DOUBLE_EQ(moved.widthMm, 41);
    QTest::keyClick(&view, Qt::Key_Delete);
    EXPECT_TRUE(view.placedSeals().empty());
}

TEST_F(StampWindow, TurnedPageIsShownAcross)
{
    ASSERT_TRUE(open(makeTurnedPdf(m_files.path(), QStringLiteral("turned"))));
    const QRect page = m_window->view().layout().pageRect(0);
    EXPECT_GT(page.width(), page.height());
    EXPECT_EQ(m_window->view().layout().geometry(0).rotation(), 90);
}

TEST_F(StampWindow, BadDocumentIsSaidInABoxAndTheWindowKeepsWhatItShowed)
{
    const QString good = makePdf(m_files.path(), QStringLiteral("good"), 1);
    ASSERT_TRUE(open(good));
    const QString notPdf = m_files.file(QStringLiteral("notes.pdf"));
    TempDirectory::writeFile(notPdf, "just some words\n");
    const struct {
        const char* name;
        QString path;
        QString said;
    } cases[] = {
        {"not a PDF", notPdf, QStringLiteral("这不是 PDF 文档")},
        {"damaged", makeDamagedPdf(m_files.path(), QStringLiteral("damaged")), QStringLiteral("文档已损坏")},
        {"encrypted", makeEncryptedPdf(m_files.path(), QStringLiteral("locked")),
         QStringLiteral("文档已加密")},
        {"absent", m_files.file(QStringLiteral("gone.pdf")), QStringLiteral("无法打开文件")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray before = QFile::exists(c.path) ? TempDirectory::readFile(c.path) : QByteArray();
        m_interaction.clearRecords();
        m_interaction.answerBox(BoxResult::Ok);
        EXPECT_FALSE(open(c.path));
        ASSERT_EQ(m_interaction.boxes().size(), 1u);
        EXPECT_EQ(m_interaction.boxes().front().caption, QStringLiteral("错误"));
        EXPECT_TRUE(m_interaction.boxes().front().text.contains(c.said))
            << m_interaction.boxes().front().text.toStdString();
        EXPECT_EQ(m_window->documentPath(), good);
        EXPECT_TRUE(m_window->view().hasDocument());
        EXPECT_TRUE(m_window->openAction().isEnabled());
        if (!before.isEmpty()) {
            EXPECT_EQ(TempDirectory::readFile(c.path), before);
        }
    }
}

TEST_F(StampWindow, SealingRefusedBeforeAnythingIsSigned)
{
    ASSERT_TRUE(waitForSeals(2));
    ASSERT_TRUE(open(makePdf(m_files.path(), QStringLiteral("letter"), 1)));
    const auto typePin = [](const QString& pin) {
        return [pin](QDialog& dialog) {
            typeText(dialog.findChild<QLineEdit*>(), pin);
            dialog.accept();
        };
    };
    const struct {
        const char* name;
        bool keyPresent;
        std::function<void(QDialog&)> pinScript; // none: no PIN dialog expected
        QString said;                            // empty: no box expected
    } cases[] = {
        {"key absent", false, nullptr, QStringLiteral("未检测到 USB Key")},
        {"wrong PIN", true, typePin(QStringLiteral("000000")), QStringLiteral("PIN码错误，未盖章")},
        {"PIN dialog cancelled", true, [](QDialog& dialog) { dialog.reject(); }, QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_window->view().clearPlacedSeals();
        drop(101, viewportPointOf(0, {60, 80}));
        ASSERT_EQ(m_window->view().placedSeals().size(), 1u);
        m_key.setPresent(c.keyPresent);
        m_interaction.clearRecords();
        if (c.pinScript)
            m_interaction.scriptModal(c.pinScript);
        if (!c.said.isEmpty())
            m_interaction.answerBox(BoxResult::Ok);
        m_window->sealAction().trigger();
        EXPECT_TRUE(m_interaction.fileDialogs().empty());
        EXPECT_EQ(m_key.sealCalls(), 0);
        if (c.said.isEmpty()) {
            EXPECT_TRUE(m_interaction.boxes().empty());
        } else {
            ASSERT_EQ(m_interaction.boxes().size(), 1u);
            EXPECT_TRUE(m_interaction.boxes().front().text.contains(c.said))
                << m_interaction.boxes().front().text.toStdString();
        }
        EXPECT_FALSE(m_window->isBusy());
        EXPECT_TRUE(m_window->sealAction().isEnabled());
    }
    m_key.setPresent(true);
}

TEST_F(StampWindow, KeySwappedWhileThePinIsAskedSealsWhatWasChosen)
{
    ASSERT_TRUE(waitForSeals(2));
    ASSERT_TRUE(open(makePdf(m_files.path(), QStringLiteral("letter"), 1)));
    drop(101, viewportPointOf(0, {60, 80}));
    ASSERT_EQ(m_window->view().placedSeals().size(), 1u);
    m_interaction.scriptModal([this](QDialog& dialog) {
        // Another key, without seals, while the holder types.
        m_key.setPresent(false);
        EXPECT_TRUE(waitForSeals(0));
        m_key.setSeals({});
        m_key.setPresent(true);
        EXPECT_TRUE(QTest::qWaitFor([&] { return m_window->sealsPanel().keyPresent(); }, 5000));
        typeText(dialog.findChild<QLineEdit*>(), QStringLiteral("123456"));
        dialog.accept();
    });
    m_interaction.answerFileDialog(m_files.file(QStringLiteral("letter-sealed.pdf")));
    m_interaction.answerBox(BoxResult::Ok); // what the key answered, said
    QSignalSpy finished(m_window.get(), &stamp::StampWindow::sealingFinished);
    m_window->sealAction().trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !finished.isEmpty(); }, 10000));
    EXPECT_EQ(m_key.sealCalls(), 1);
}

TEST_F(StampWindow, LongDocumentDrawsOnlyThePagesInSight)
{
    ASSERT_TRUE(open(makePdf(m_files.path(), QStringLiteral("long"), 300)));
    ASSERT_EQ(m_window->view().pageCount(), 300);

    int rendered = 0;
    QObject::connect(&m_window->renderer(), &stamp::PageRenderer::pageRendered, [&] { ++rendered; });
    QElapsedTimer elapsed;
    elapsed.start();
    for (int page = 0; page < 300; ++page)
        m_window->view().goToPage(page);
    EXPECT_LT(elapsed.elapsed(), 2000) << "300 page turns on the window's thread";
    QTest::qWait(3000);
    // The pages passed on the way were not drawn, but for the few the worker took up while the
    // turning went on.
    EXPECT_LE(rendered, 30);
    EXPECT_GE(rendered, 1);
}

TEST_F(StampWindow, ZoomFitsAndThePageListFollowsTheView)
{
    ASSERT_TRUE(open(makePdf(m_files.path(), QStringLiteral("three"), 3)));
    stamp::DocumentView& view = m_window->view();
    QListWidget& pages = m_window->pageList();
    ASSERT_EQ(pages.count(), 3);

    pages.setCurrentRow(2);
    EXPECT_EQ(view.currentPage(), 2);
    view.fitPage();
    const QRect shown = view.layout().pageRect(2).translated(-view.horizontalScrollBar()->value(),
                                                             -view.verticalScrollBar()->value());
    EXPECT_TRUE(view.viewport()->rect().contains(shown))
        << shown.height() << " in " << view.viewport()->height();
    view.fitWidth();
    EXPECT_NEAR(view.layout().pageRect(2).width(), view.viewport()->width() - 2 * stamp::PageLayout::kMargin,
                24);
    const double fitted = view.pixelsPerPoint();
    view.zoomIn();
    EXPECT_DOUBLE_EQ(view.pixelsPerPoint(), fitted * stamp::DocumentView::kZoomStep);

    view.goToPage(0);
    EXPECT_EQ(pages.currentRow(), 0);
}

TEST_F(StampWindow, EveryActionHasKeysAndEveryFieldAName)
{
    // The window's own actions; the menus', tool bar's and docks' come with Qt's keys.
    for (const QAction* action : m_window->findChildren<QAction*>(Qt::FindDirectChildrenOnly))
        EXPECT_FALSE(action->shortcut().isEmpty()) << action->text().toStdString();
    for (const QWidget* widget : m_window->findChildren<QWidget*>()) {
        // A header is read with its view.
        const bool field =
            (qobject_cast<const QAbstractScrollArea*>(widget) && !qobject_cast<const QHeaderView*>(widget)) ||
            qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QProgressBar*>(widget);
        if (field) {
            EXPECT_FALSE(widget->accessibleName().isEmpty()) << widget->metaObject()->className();
        }
    }
}

TEST(StampWindowSettings, PlaceAndSizeAreRemembered)
{
    TempDirectory home;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
    FakeStampKey key;
    const QRect placed(QPoint(40, 30), QSize(820, 610));
    {
        stamp::StampWindow window(key);
        window.setGeometry(placed);
        window.show();
        window.close();
    }
    stamp::StampWindow again(key);
    EXPECT_EQ(again.geometry().size(), placed.size());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

} // namespace
} // namespace talvo::testing
