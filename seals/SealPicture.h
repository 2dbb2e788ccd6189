#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

class QPainter;
class QPaintDevice;

namespace talvo {

// Holds at most one decoded seal picture. The picture keeps its extent in HIMETRIC units
// (0.01 mm) taken at the screen's resolution when it was decoded, as the platform picture
// object did; sizes in pixels are worked out from that extent for the device drawn on.
class SealPicture {
public:
    // Decodes any format Qt reads (GIF among them), judged by content rather than by name.
    // Any picture held before is released first. True when a picture was decoded.
    bool LoadFromFile(const QString& path);

    bool isLoaded() const { return !m_image.isNull(); }
    QSize himetricExtent() const { return m_himetric; }

    // Width and height in the device's pixels, or in the screen's when no device is given;
    // (0, 0) when no picture is held.
    QSize GetSizeInPixels(const QPaintDevice* device = nullptr) const;

    // Draws the whole picture, upright, stretched to the rectangle. A rectangle whose four
    // coordinates are all 0 means the picture's own size at the origin.
    void Draw(QPainter& painter, const QRect& rectangle) const;

    // The logical dots per inch of the primary screen (96 when there is none).
    static double screenDotsPerInchX();
    static double screenDotsPerInchY();

private:
    QImage m_image;
    QSize m_himetric;
};

} // namespace talvo
