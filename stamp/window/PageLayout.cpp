#include "PageLayout.h"

#include <algorithm>

namespace talvo::stamp {

PageLayout::PageLayout(const DocumentPages& pages, double pixelsPerPoint, int viewWidth)
    : m_pages(pages), m_pixelsPerPoint(pixelsPerPoint)
{
    int widest = 0;
    m_rects.reserve(pages.size());
    for (const PageFrame& frame : pages)
        widest = std::max(
            widest, PageGeometry(frame.cropBox, frame.rotation, pixelsPerPoint).shownSizePixels().width());
    const int width = std::max(viewWidth, widest + 2 * kMargin);
    int y = kMargin;
    for (const PageFrame& frame : pages) {
        const QSize size = PageGeometry(frame.cropBox, frame.rotation, pixelsPerPoint).shownSizePixels();
        m_rects.emplace_back(QPoint((width - size.width()) / 2, y), size);
        y += size.height() + kMargin;
    }
    m_contentSize = QSize(width, y);
}

PageGeometry PageLayout::geometry(int page) const
{
    const PageFrame& frame = m_pages.at(static_cast<std::size_t>(page));
    return {frame.cropBox, frame.rotation, m_pixelsPerPoint};
}

int PageLayout::pageAt(const QPoint& point) const
{
    for (const int page : pagesBetween(point.y(), point.y() + 1))
        if (m_rects[static_cast<std::size_t>(page)].contains(point))
            return page;
    return -1;
}

std::vector<int> PageLayout::pagesBetween(int top, int bottom) const
{
    std::vector<int> pages;
    auto first = std::lower_bound(m_rects.begin(), m_rects.end(), top,
                                  [](const QRect& rect, int y) { return rect.bottom() < y; });
    for (auto it = first; it != m_rects.end() && it->top() < bottom; ++it)
        pages.push_back(static_cast<int>(it - m_rects.begin()));
    return pages;
}

double PageLayout::fitWidth(const DocumentPages& pages, int viewWidth)
{
    double widest = 1;
    for (const PageFrame& frame : pages)
        widest = std::max(widest, PageGeometry(frame.cropBox, frame.rotation, 1).shownSizePoints().width());
    return std::max(0.05, (viewWidth - 2.0 * kMargin) / widest);
}

double PageLayout::fitPage(const PageFrame& page, const QSize& view)
{
    const QSizeF size = PageGeometry(page.cropBox, page.rotation, 1).shownSizePoints();
    const double across = (view.width() - 2.0 * kMargin) / std::max(1.0, size.width());
    const double down = (view.height() - 2.0 * kMargin) / std::max(1.0, size.height());
    return std::max(0.05, std::min(across, down));
}

} // namespace talvo::stamp
