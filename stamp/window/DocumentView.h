#pragma once

#include "DocumentPages.h"
#include "PageLayout.h"
#include "PlacedSeal.h"

#include <QAbstractScrollArea>
#include <QHash>
#include <QImage>

#include <vector>

namespace talvo::stamp {

class PageRenderer;

// The open document's pages, drawn by the renderer as they come into sight, and the seals
// placed on them: a seal is moved by dragging it or with the arrow keys, resized by its corner
// or with [ and ], and taken off with Delete.
class DocumentView : public QAbstractScrollArea {
    Q_OBJECT
public:
    enum class ZoomMode { Fixed, FitWidth, FitPage };
    static constexpr double kZoomStep = 1.25;
    static constexpr double kMinimumSealMm = 5;

    DocumentView(PageRenderer& renderer, QWidget* parent = nullptr);

    void showDocument(quint64 document, const DocumentPages& pages);
    void clearDocument();
    bool hasDocument() const { return !m_pages.empty(); }
    int pageCount() const { return static_cast<int>(m_pages.size()); }

    double pixelsPerPoint() const { return m_pixelsPerPoint; }
    ZoomMode zoomMode() const { return m_zoomMode; }
    void setZoom(double pixelsPerPoint);
    void zoomIn();
    void zoomOut();
    void fitWidth();
    void fitPage();

    int currentPage() const { return m_currentPage; }
    void goToPage(int page);

    // A seal put on a page; it becomes the selected one.
    void placeSeal(const PlacedSeal& seal);
    const std::vector<PlacedSeal>& placedSeals() const { return m_placed; }
    void clearPlacedSeals();
    // The centre, in a page's shown millimetres, of the part of the current page in sight.
    QPointF visibleCentreMm() const;
    // Where a point of the viewport falls: a page from 0 and its shown millimetres, or -1.
    int pageAtViewport(const QPoint& point, QPointF& mm) const;
    const PageLayout& layout() const { return m_layout; }

Q_SIGNALS:
    void currentPageChanged(int page);
    void zoomChanged(double pixelsPerPoint);
    // A seal from the panel let go over a page.
    void sealDropped(int sealNumber, int page, const QPointF& centreMm);
    // A click on a page where no placed seal is.
    void pageClicked(int page, const QPointF& mm);
    void placedSealsChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    enum class Grab { None, Move, Resize };

    void pageRendered(quint64 document, int page, double pixelsPerPoint, const QImage& image);
    void relayout();
    void applyZoom(double pixelsPerPoint, ZoomMode mode);
    void requestVisiblePages();
    void updateCurrentPage();
    QPoint contentOffset() const;
    QRectF sealRect(const PlacedSeal& seal) const; // in content pixels
    QRectF handleRect(const QRectF& sealRect) const;
    int sealAt(const QPoint& contentPoint) const;
    void moveSelected(const QPointF& deltaMm);
    void resizeSelected(double widthMm);
    void paintSeal(QPainter& painter, const PlacedSeal& seal, bool selected) const;

    PageRenderer& m_renderer;
    quint64 m_document = 0;
    DocumentPages m_pages;
    PageLayout m_layout;
    double m_pixelsPerPoint = 1;
    ZoomMode m_zoomMode = ZoomMode::FitWidth;
    QHash<int, QImage> m_images; // drawn pages, with the zoom each was drawn at
    QHash<int, double> m_imageZoom;
    int m_currentPage = 0;
    std::vector<PlacedSeal> m_placed;
    int m_selected = -1;
    Grab m_grab = Grab::None;
    QPoint m_grabStart;
    QPointF m_grabCentre;
    double m_grabWidth = 0;
};

} // namespace talvo::stamp
