#include "stamp/window/SealsPanel.h"
#include "StampPdfs.h"
#include "StampWindowFixture.h"
#include "stamp/window/SealList.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QMimeData>
#include <QTest>

#include <memory>

namespace talvo::testing {
namespace {

using SealsPanel = StampWindowFixture;

TEST_F(SealsPanel, ExpiredSealIsGreyedWithItsReasonAndCannotBePlaced)
{
    ASSERT_TRUE(waitForSeals(2));
    stamp::SealList& list = m_window->sealsPanel().list();
    const QListWidgetItem* expired = list.item(1);
    EXPECT_FALSE(expired->flags() & Qt::ItemIsEnabled);
    EXPECT_FALSE(expired->flags() & Qt::ItemIsDragEnabled);
    EXPECT_TRUE(expired->text().contains(QStringLiteral("已于 2020-01-01 00:00:00 过期")))
        << expired->text().toStdString();
    EXPECT_TRUE(list.item(0)->flags() & Qt::ItemIsDragEnabled);
    // What a drag would carry.
    std::unique_ptr<QMimeData> dragged(list.model()->mimeData({list.model()->index(1, 0)}));
    EXPECT_EQ(dragged, nullptr);
    dragged.reset(list.model()->mimeData({list.model()->index(0, 0)}));
    EXPECT_NE(dragged, nullptr);

    ASSERT_TRUE(open(makePdf(m_files.path(), QStringLiteral("letter"), 1)));
    const QPoint onPage = viewportPointOf(0, {60, 80});
    drop(102, onPage);
    list.setCurrentRow(1);
    m_window->placeAction().trigger();
    QTest::mouseClick(m_window->view().viewport(), Qt::LeftButton, {}, onPage);
    EXPECT_TRUE(m_window->view().placedSeals().empty());

    drop(101, onPage);
    ASSERT_EQ(m_window->view().placedSeals().size(), 1u);
    EXPECT_EQ(m_window->view().placedSeals().front().sealNumber, 101);
}

TEST(SealsPanelKey, FollowsTheKeyPulledAndPluggedWithinTwoSeconds)
{
    FakeStampKey key;
    key.setSeals({makeSeal(101, QStringLiteral("合同专用章"), true)});
    stamp::StampWindow window(key);
    stamp::SealList& list = window.sealsPanel().list();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.count() == 1; }, 3000));

    QElapsedTimer elapsed;
    key.setPresent(false);
    elapsed.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.count() == 0; }, 3000));
    EXPECT_LT(elapsed.elapsed(), 2000);
    EXPECT_FALSE(window.sealsPanel().keyPresent());
    EXPECT_TRUE(
        window.sealsPanel().findChild<QLabel*>()->text().contains(QStringLiteral("未检测到 USB Key")));

    key.setPresent(true);
    elapsed.restart();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.count() == 1; }, 3000));
    EXPECT_LT(elapsed.elapsed(), 2000);
}

} // namespace
} // namespace talvo::testing
