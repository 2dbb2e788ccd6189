#include "DocumentView.h"

#include "PageRenderer.h"
#include "SealMime.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace talvo::stamp {

namespace {

// Pages kept drawn beyond those in sight, so that scrolling back shows them at once.
constexpr int kKeptAround = 3;
constexpr double kMinimumZoom = 0.1;
constexpr double kMaximumZoom = 4; // an A4 page is then 32 MB drawn
constexpr int kHandle = 8;

QColor selectionColour()
{
    return {0, 120, 215};
}

} // namespace

DocumentView::DocumentView(PageRenderer& renderer, QWidget* parent)
    : QAbstractScrollArea(parent), m_renderer(renderer)
{
    setAccessibleName(QStringLiteral("文档页面"));
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    viewport()->setMouseTracking(true);
    verticalScrollBar()->setSingleStep(40);
    horizontalScrollBar()->setSingleStep(40);
    connect(&m_renderer, &PageRenderer::pageRendered, this, &DocumentView::pageRendered);
}

void DocumentView::showDocument(quint64 document, const DocumentPages& pages)
{
    m_document = document;
    m_pages = pages;
    m_images.clear();
    m_imageZoom.clear();
    m_placed.clear();
    m_selected = -1;
    m_currentPage = 0;
    applyZoom(m_pixelsPerPoint, m_zoomMode);
    verticalScrollBar()->setValue(0);
    requestVisiblePages();
    Q_EMIT currentPageChanged(0);
    Q_EMIT placedSealsChanged();
}

void DocumentView::clearDocument()
{
    m_document = 0;
    m_pages.clear();
    m_images.clear();
    m_imageZoom.clear();
    m_placed.clear();
    m_selected = -1;
    relayout();
    viewport()->update();
    Q_EMIT placedSealsChanged();
}

void DocumentView::setZoom(double pixelsPerPoint)
{
    applyZoom(pixelsPerPoint, ZoomMode::Fixed);
}

void DocumentView::zoomIn()
{
    setZoom(m_pixelsPerPoint * kZoomStep);
}

void DocumentView::zoomOut()
{
    setZoom(m_pixelsPerPoint / kZoomStep);
}

void DocumentView::fitWidth()
{
    applyZoom(m_pixelsPerPoint, ZoomMode::FitWidth);
}

void DocumentView::fitPage()
{
    applyZoom(m_pixelsPerPoint, ZoomMode::FitPage);
}

void DocumentView::applyZoom(double pixelsPerPoint, ZoomMode mode)
{
    const int page = m_currentPage;
    m_zoomMode = mode;
    if (!m_pages.empty() && mode == ZoomMode::FitWidth)
        pixelsPerPoint =
            PageLayout::fitWidth(m_pages, viewport()->width() - verticalScrollBar()->sizeHint().width());
    else if (!m_pages.empty() && mode == ZoomMode::FitPage)
        pixelsPerPoint = PageLayout::fitPage(m_pages.at(static_cast<std::size_t>(page)), viewport()->size());
    pixelsPerPoint = std::clamp(pixelsPerPoint, kMinimumZoom, kMaximumZoom);
    const bool changed = std::abs(pixelsPerPoint - m_pixelsPerPoint) > 1e-9;
    m_pixelsPerPoint = pixelsPerPoint;
    relayout();
    if (!m_pages.empty())
        verticalScrollBar()->setValue(m_layout.pageRect(page).top() - PageLayout::kMargin);
    requestVisiblePages();
    viewport()->update();
    if (changed)
        Q_EMIT zoomChanged(m_pixelsPerPoint);
}

void DocumentView::relayout()
{
    m_layout = PageLayout(m_pages, m_pixelsPerPoint, viewport()->width());
    const QSize content = m_layout.contentSize();
    verticalScrollBar()->setPageStep(viewport()->height());
    horizontalScrollBar()->setPageStep(viewport()->width());
    verticalScrollBar()->setRange(0, std::max(0, content.height() - viewport()->height()));
    horizontalScrollBar()->setRange(0, std::max(0, content.width() - viewport()->width()));
}

void DocumentView::goToPage(int page)
{
    if (page < 0 || page >= pageCount())
        return;
    verticalScrollBar()->setValue(m_layout.pageRect(page).top() - PageLayout::kMargin);
    m_currentPage = page;
    requestVisiblePages();
    Q_EMIT currentPageChanged(page);
}

QPoint DocumentView::contentOffset() const
{
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void DocumentView::requestVisiblePages()
{
    if (m_pages.empty())
        return;
    const int top = verticalScrollBar()->value();
    const std::vector<int> visible = m_layout.pagesBetween(top, top + viewport()->height());
    if (visible.empty())
        return;
    std::vector<int> wanted;
    for (const int page : visible)
        if (!m_images.contains(page) || m_imageZoom.value(page) != m_pixelsPerPoint)
            wanted.push_back(page);
    // The neighbours next, so that a page turn finds them drawn.
    const int after = visible.back() + 1;
    const int before = visible.front() - 1;
    for (const int page : {after, before})
        if (page >= 0 && page < pageCount() &&
            (!m_images.contains(page) || m_imageZoom.value(page) != m_pixelsPerPoint))
            wanted.push_back(page);
    // Pages far from sight are let go: a long document never holds all its pages drawn.
    for (auto it = m_images.begin(); it != m_images.end();) {
        if (it.key() < visible.front() - kKeptAround || it.key() > visible.back() + kKeptAround) {
            m_imageZoom.remove(it.key());
            it = m_images.erase(it);
        } else {
            ++it;
        }
    }
    m_renderer.request(m_document, wanted, m_pixelsPerPoint);
}

void DocumentView::pageRendered(quint64 document, int page, double pixelsPerPoint, const QImage& image)
{
    if (document != m_document || page < 0 || page >= pageCount())
        return;
    m_images.insert(page, image);
    m_imageZoom.insert(page, pixelsPerPoint);
    viewport()->update(m_layout.pageRect(page).translated(-contentOffset()));
}

void DocumentView::updateCurrentPage()
{
    if (m_pages.empty())
        return;
    const int top = verticalScrollBar()->value();
    const std::vector<int> visible = m_layout.pagesBetween(top, top + viewport()->height() / 2 + 1);
    const int page = visible.empty() ? m_currentPage : visible.back();
    if (page != m_currentPage) {
        m_currentPage = page;
        Q_EMIT currentPageChanged(page);
    }
}

void DocumentView::scrollContentsBy(int, int)
{
    updateCurrentPage();
    requestVisiblePages();
    viewport()->update();
}

void DocumentView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    applyZoom(m_pixelsPerPoint, m_zoomMode);
}

QRectF DocumentView::sealRect(const PlacedSeal& seal) const
{
    const PageGeometry geometry = m_layout.geometry(seal.page);
    const QPointF centre = geometry.pixelsFromMm(seal.centreMm) + m_layout.pageRect(seal.page).topLeft();
    const double width = geometry.pixelsFromMm(seal.widthMm);
    const double height = geometry.pixelsFromMm(seal.heightMm());
    return {centre.x() - width / 2, centre.y() - height / 2, width, height};
}

QRectF DocumentView::handleRect(const QRectF& rect) const
{
    return {rect.right() - kHandle / 2.0, rect.bottom() - kHandle / 2.0, double(kHandle), double(kHandle)};
}

void DocumentView::paintSeal(QPainter& painter, const PlacedSeal& seal, bool selected) const
{
    const QRectF rect = sealRect(seal);
    painter.drawImage(rect, seal.picture);
    if (!selected)
        return;
    painter.setPen(QPen(selectionColour(), 1, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect);
    painter.fillRect(handleRect(rect), selectionColour());
    const QString label = QStringLiteral("宽 %1 毫米").arg(seal.widthMm, 0, 'f', 1);
    const QRectF labelRect(rect.left(), rect.bottom() + 4, std::max(rect.width(), 120.0),
                           painter.fontMetrics().height() + 4);
    painter.fillRect(labelRect, QColor(255, 255, 255, 220));
    painter.setPen(selectionColour());
    painter.drawText(labelRect, Qt::AlignLeft | Qt::AlignVCenter, label);
}

void DocumentView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().color(QPalette::Dark));
    if (m_pages.empty())
        return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(-contentOffset());
    const int top = verticalScrollBar()->value();
    for (const int page : m_layout.pagesBetween(top, top + viewport()->height())) {
        const QRect rect = m_layout.pageRect(page);
        painter.fillRect(rect, Qt::white);
        const auto image = m_images.constFind(page);
        if (image != m_images.cend())
            painter.drawImage(rect, *image);
        for (std::size_t i = 0; i < m_placed.size(); ++i)
            if (m_placed[i].page == page)
                paintSeal(painter, m_placed[i], static_cast<int>(i) == m_selected);
    }
}

int DocumentView::pageAtViewport(const QPoint& point, QPointF& mm) const
{
    const QPoint content = point + contentOffset();
    const int page = m_layout.pageAt(content);
    if (page >= 0)
        mm = m_layout.geometry(page).mmFromPixels(QPointF(content - m_layout.pageRect(page).topLeft()));
    return page;
}

QPointF DocumentView::visibleCentreMm() const
{
    if (m_pages.empty())
        return {};
    const QRect page = m_layout.pageRect(m_currentPage);
    const QRect seen = page.intersected(viewport()->rect().translated(contentOffset()));
    const QPoint centre = (seen.isEmpty() ? page : seen).center() - page.topLeft();
    return m_layout.geometry(m_currentPage).mmFromPixels(QPointF(centre));
}

void DocumentView::placeSeal(const PlacedSeal& seal)
{
    if (seal.page < 0 || seal.page >= pageCount())
        return;
    m_placed.push_back(seal);
    m_selected = static_cast<int>(m_placed.size()) - 1;
    moveSelected({0, 0}); // kept on its page
    setFocus();
    viewport()->update();
    Q_EMIT placedSealsChanged();
}

void DocumentView::clearPlacedSeals()
{
    m_placed.clear();
    m_selected = -1;
    viewport()->update();
    Q_EMIT placedSealsChanged();
}

int DocumentView::sealAt(const QPoint& contentPoint) const
{
    // The last placed lies on top.
    for (int i = static_cast<int>(m_placed.size()) - 1; i >= 0; --i)
        if (sealRect(m_placed[static_cast<std::size_t>(i)]).contains(contentPoint))
            return i;
    return -1;
}

void DocumentView::moveSelected(const QPointF& deltaMm)
{
    if (m_selected < 0)
        return;
    PlacedSeal& seal = m_placed[static_cast<std::size_t>(m_selected)];
    const QSizeF page = m_layout.geometry(seal.page).shownSizeMm();
    seal.centreMm = QPointF(std::clamp(seal.centreMm.x() + deltaMm.x(), 0.0, page.width()),
                            std::clamp(seal.centreMm.y() + deltaMm.y(), 0.0, page.height()));
    viewport()->update();
    Q_EMIT placedSealsChanged();
}

void DocumentView::resizeSelected(double widthMm)
{
    if (m_selected < 0)
        return;
    PlacedSeal& seal = m_placed[static_cast<std::size_t>(m_selected)];
    const double widest = m_layout.geometry(seal.page).shownSizeMm().width();
    seal.widthMm = std::clamp(widthMm, kMinimumSealMm, std::max(kMinimumSealMm, widest));
    viewport()->update();
    Q_EMIT placedSealsChanged();
}

void DocumentView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_pages.empty())
        return QAbstractScrollArea::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    const QPoint content = event->position().toPoint() + contentOffset();
    if (m_selected >= 0 &&
        handleRect(sealRect(m_placed[static_cast<std::size_t>(m_selected)])).contains(content)) {
        m_grab = Grab::Resize;
    } else {
        m_selected = sealAt(content);
        m_grab = m_selected >= 0 ? Grab::Move : Grab::None;
    }
    if (m_selected >= 0) {
        m_grabStart = content;
        m_grabCentre = m_placed[static_cast<std::size_t>(m_selected)].centreMm;
        m_grabWidth = m_placed[static_cast<std::size_t>(m_selected)].widthMm;
    } else {
        QPointF mm;
        const int page = pageAtViewport(event->position().toPoint(), mm);
        if (page >= 0)
            Q_EMIT pageClicked(page, mm);
    }
    viewport()->update();
}

void DocumentView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_grab == Grab::None || m_selected < 0)
        return QAbstractScrollArea::mouseMoveEvent(event);
    PlacedSeal& seal = m_placed[static_cast<std::size_t>(m_selected)];
    const PageGeometry geometry = m_layout.geometry(seal.page);
    const QPointF deltaMm =
        geometry.mmFromPixels(QPointF(event->position().toPoint() + contentOffset() - m_grabStart));
    if (m_grab == Grab::Move) {
        seal.centreMm = m_grabCentre;
        moveSelected(deltaMm);
    } else {
        // The corner follows the pointer; the centre stays, so the width grows by twice the step.
        resizeSelected(m_grabWidth + 2 * deltaMm.x());
    }
}

void DocumentView::mouseReleaseEvent(QMouseEvent* event)
{
    m_grab = Grab::None;
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void DocumentView::keyPressEvent(QKeyEvent* event)
{
    if (m_selected >= 0) {
        const double step = event->modifiers() & Qt::ShiftModifier ? 10 : 1;
        const double width = m_placed[static_cast<std::size_t>(m_selected)].widthMm;
        switch (event->key()) {
        case Qt::Key_Left:
            return moveSelected({-step, 0});
        case Qt::Key_Right:
            return moveSelected({step, 0});
        case Qt::Key_Up:
            return moveSelected({0, -step});
        case Qt::Key_Down:
            return moveSelected({0, step});
        case Qt::Key_BracketLeft:
            return resizeSelected(width - step);
        case Qt::Key_BracketRight:
            return resizeSelected(width + step);
        case Qt::Key_Delete:
        case Qt::Key_Backspace:
            m_placed.erase(m_placed.begin() + m_selected);
            m_selected = m_placed.empty() ? -1 : static_cast<int>(m_placed.size()) - 1;
            viewport()->update();
            Q_EMIT placedSealsChanged();
            return;
        case Qt::Key_Escape:
            m_selected = -1;
            viewport()->update();
            return;
        default:
            break;
        }
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void DocumentView::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasFormat(QString::fromLatin1(kSealMimeType)) && hasDocument())
        event->acceptProposedAction();
}

void DocumentView::dragMoveEvent(QDragMoveEvent* event)
{
    QPointF mm;
    if (event->mimeData()->hasFormat(QString::fromLatin1(kSealMimeType)) &&
        pageAtViewport(event->position().toPoint(), mm) >= 0)
        event->acceptProposedAction();
    else
        event->ignore();
}

void DocumentView::dropEvent(QDropEvent* event)
{
    bool ok = false;
    const int number = event->mimeData()->data(QString::fromLatin1(kSealMimeType)).toInt(&ok);
    QPointF mm;
    const int page = pageAtViewport(event->position().toPoint(), mm);
    if (!ok || page < 0)
        return event->ignore();
    event->acceptProposedAction();
    Q_EMIT sealDropped(number, page, mm);
}

} // namespace talvo::stamp
