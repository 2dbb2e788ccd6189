#include "SealPicture.h"

#include "SealGeometry.h"

#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QPaintDevice>
#include <QPainter>
#include <QScreen>

namespace talvo {

namespace {

constexpr double kFallbackDotsPerInch = 96.0;

} // namespace

double SealPicture::screenDotsPerInchX()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : kFallbackDotsPerInch;
}

double SealPicture::screenDotsPerInchY()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() : kFallbackDotsPerInch;
}

bool SealPicture::LoadFromFile(const QString& path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return false;
    m_image = QImage();
    m_himetric = QSize();
    // The temporary file carries no telling name, so the reader judges the bytes alone.
    QImageReader reader(&file);
    QImage image = reader.read();
    if (image.isNull())
        return false;
    m_himetric = QSize(himetricFromPixels(image.width(), screenDotsPerInchX()),
                       himetricFromPixels(image.height(), screenDotsPerInchY()));
    m_image = std::move(image);
    return true;
}

QSize SealPicture::GetSizeInPixels(const QPaintDevice* device) const
{
    if (!isLoaded())
        return {0, 0};
    const double dpiX = device ? device->logicalDpiX() : screenDotsPerInchX();
    const double dpiY = device ? device->logicalDpiY() : screenDotsPerInchY();
    return {pixelsFromHimetric(m_himetric.width(), dpiX), pixelsFromHimetric(m_himetric.height(), dpiY)};
}

void SealPicture::Draw(QPainter& painter, const QRect& rectangle) const
{
    if (!isLoaded())
        return;
    QRect target = rectangle;
    if (rectangle == QRect())
        target = QRect(QPoint(0, 0), GetSizeInPixels(painter.device()));
    if (target.isEmpty())
        return;
    painter.drawImage(target, m_image, m_image.rect());
}

} // namespace talvo
