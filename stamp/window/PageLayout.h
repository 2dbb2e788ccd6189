#pragma once

#include "DocumentPages.h"
#include "PageGeometry.h"

#include <QRect>
#include <QSize>

#include <vector>

namespace talvo::stamp {

// The pages one below the other at a zoom, each centred in the view's width.
class PageLayout {
public:
    static constexpr int kMargin = 12;

    PageLayout() = default;
    PageLayout(const DocumentPages& pages, double pixelsPerPoint, int viewWidth);

    int pageCount() const { return static_cast<int>(m_rects.size()); }
    QRect pageRect(int page) const { return m_rects.at(static_cast<std::size_t>(page)); }
    PageGeometry geometry(int page) const;
    QSize contentSize() const { return m_contentSize; }
    // The page under a point of the content, or -1.
    int pageAt(const QPoint& point) const;
    // The pages that meet the band [top, bottom) of the content, in order.
    std::vector<int> pagesBetween(int top, int bottom) const;

    // The zoom at which the widest page fills the view's width.
    static double fitWidth(const DocumentPages& pages, int viewWidth);
    // The zoom at which one page fits whole into the view.
    static double fitPage(const PageFrame& page, const QSize& view);

private:
    DocumentPages m_pages;
    double m_pixelsPerPoint = 1;
    std::vector<QRect> m_rects;
    QSize m_contentSize;
};

} // namespace talvo::stamp
