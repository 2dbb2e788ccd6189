#pragma once

#include <QImage>
#include <QPointF>
#include <QString>

#include <cstdint>

namespace talvo::stamp {

// A seal put on a page and not yet signed: where the holder wants it, in the page's shown
// millimetres.
struct PlacedSeal {
    int32_t sealNumber = 0;
    QString sealName;
    int page = 0; // from 0
    QPointF centreMm;
    double widthMm = 40;
    QImage picture;

    double heightMm() const
    {
        return picture.isNull() || picture.width() == 0 ? widthMm
                                                        : widthMm * picture.height() / picture.width();
    }
};

} // namespace talvo::stamp
