#include "StampWindowFixture.h"

#include "stamp/window/SealList.h"
#include "stamp/window/SealMime.h"
#include "stamp/window/SealsPanel.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

namespace talvo::testing {

StampWindowFixture::StampWindowFixture()
{
    m_key.setSeals(
        {makeSeal(101, QStringLiteral("合同专用章"), true), makeSeal(102, QStringLiteral("旧公章"), false)});
    m_window = std::make_unique<stamp::StampWindow>(m_key, std::chrono::milliseconds(100));
    m_window->resize(900, 700);
    m_window->show();
}

StampWindowFixture::~StampWindowFixture() = default;

bool openDocument(stamp::StampWindow& window, const QString& path)
{
    QSignalSpy shown(&window, &stamp::StampWindow::documentShown);
    QSignalSpy refused(&window, &stamp::StampWindow::documentRefused);
    window.openDocument(path);
    if (!QTest::qWaitFor([&] { return !shown.isEmpty() || !refused.isEmpty(); }, 60000))
        return false;
    return !shown.isEmpty();
}

bool waitForSeals(stamp::StampWindow& window, int count)
{
    return QTest::qWaitFor([&] { return window.sealsPanel().list().count() == count; }, 10000);
}

void dropSeal(stamp::DocumentView& view, int sealNumber, const QPoint& viewportPoint)
{
    QMimeData data;
    data.setData(QString::fromLatin1(stamp::kSealMimeType), QByteArray::number(sealNumber));
    // Qt hands a drop only to the widget that took the drag's entry.
    QDragEnterEvent enter(viewportPoint, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &enter);
    QDropEvent event(QPointF(viewportPoint), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &event);
}

QPoint viewportPointOf(stamp::DocumentView& view, int page, const QPointF& mm)
{
    const QPointF content =
        view.layout().geometry(page).pixelsFromMm(mm) + view.layout().pageRect(page).topLeft();
    return (content - QPointF(view.horizontalScrollBar()->value(), view.verticalScrollBar()->value()))
        .toPoint();
}

} // namespace talvo::testing
