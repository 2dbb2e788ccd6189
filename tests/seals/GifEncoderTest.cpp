#include "dev/gif/GifEncoder.h"

#include <QBuffer>
#include <QImageReader>
#include <QRandomGenerator>

#include <gtest/gtest.h>

using talvo::testing::encodeGif;

namespace {

QImage decode(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

} // namespace

// The seal tests and the preview benchmark stand on these pictures, so they must decode to
// exactly what was drawn, through every code width and table reset of the compression.
TEST(GifEncoder, DecodesBackToTheSamePixels)
{
    QRandomGenerator random(7);
    QImage noise(613, 211, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y,
                           qRgb(static_cast<int>(random.bounded(6)) * 51, 0, (x * 7 + y) % 2 ? 255 : 0));
    const QImage decoded = decode(encodeGif(noise));
    ASSERT_EQ(decoded.size(), noise.size());
    EXPECT_EQ(decoded, noise);
}

TEST(GifEncoder, HandlesPlainAndTinyPictures)
{
    for (const QSize size : {QSize(1, 1), QSize(2000, 3), QSize(300, 300)}) {
        QImage plain(size, QImage::Format_RGB32);
        plain.fill(qRgb(200, 16, 16));
        EXPECT_EQ(decode(encodeGif(plain)), plain) << size.width() << "x" << size.height();
    }
}
