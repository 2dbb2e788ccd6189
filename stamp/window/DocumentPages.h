#pragma once

#include <QRectF>

#include <vector>

namespace talvo::stamp {

// What the view needs to lay out an open document before any page is drawn.
struct PageFrame {
    QRectF cropBox; // the page's own points, before /Rotate
    int rotation = 0;
};

using DocumentPages = std::vector<PageFrame>;

} // namespace talvo::stamp
