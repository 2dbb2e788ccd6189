#include "seals/SealPicture.h"
#include "dev/gif/GifEncoder.h"
#include "support/TempDirectory.h"

#include <QPainter>

#include <gtest/gtest.h>

using talvo::SealPicture;
using talvo::testing::encodeGif;
using talvo::testing::TempDirectory;

namespace {

// Red above, blue below: shows both stretching and which way up a picture lands.
QImage twoBands(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter painter(&image);
    painter.fillRect(0, 0, width, height / 2, Qt::red);
    return image;
}

QImage whiteCanvas(int width, int height)
{
    QImage canvas(width, height, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    return canvas;
}

class SealPictureTest : public ::testing::Test {
protected:
    QString writeGif(const QImage& image, const QString& name = QStringLiteral("picture.dat"))
    {
        const QString path = m_dir.file(name);
        TempDirectory::writeFile(path, encodeGif(image));
        return path;
    }

    TempDirectory m_dir;
};

} // namespace

TEST_F(SealPictureTest, DecodesAGifWhateverTheFileIsCalled)
{
    SealPicture picture;
    ASSERT_TRUE(picture.LoadFromFile(writeGif(twoBands(400, 200))));
    EXPECT_TRUE(picture.isLoaded());
    // Offscreen screens have 96 logical dots per inch.
    EXPECT_EQ(picture.himetricExtent(), QSize(10583, 5292));
    EXPECT_EQ(picture.GetSizeInPixels(), QSize(400, 200));
}

TEST_F(SealPictureTest, DecodesOtherFormatsQtReads)
{
    const QString png = m_dir.file(QStringLiteral("seal.dat"));
    ASSERT_TRUE(twoBands(120, 80).save(png, "PNG"));
    SealPicture picture;
    ASSERT_TRUE(picture.LoadFromFile(png));
    EXPECT_EQ(picture.GetSizeInPixels(), QSize(120, 80));
}

TEST_F(SealPictureTest, RefusesWhatIsNoPicture)
{
    SealPicture picture;
    EXPECT_FALSE(picture.LoadFromFile(QString()));
    EXPECT_FALSE(picture.LoadFromFile(m_dir.file(QStringLiteral("missing.gif"))));
    const QString garbage = m_dir.file(QStringLiteral("garbage.gif"));
    TempDirectory::writeFile(garbage, QByteArray("GIF89a but nothing after it"));
    EXPECT_FALSE(picture.LoadFromFile(garbage));
    const QString empty = m_dir.file(QStringLiteral("empty.gif"));
    TempDirectory::writeFile(empty, QByteArray());
    EXPECT_FALSE(picture.LoadFromFile(empty));
    EXPECT_FALSE(picture.isLoaded());
    EXPECT_EQ(picture.GetSizeInPixels(), QSize(0, 0));
}

TEST_F(SealPictureTest, ReleasesTheHeldPictureOnlyOnceANewFileIsOpen)
{
    SealPicture picture;
    ASSERT_TRUE(picture.LoadFromFile(writeGif(twoBands(40, 20))));
    // A file that cannot be opened leaves the held picture alone...
    EXPECT_FALSE(picture.LoadFromFile(m_dir.file(QStringLiteral("missing.gif"))));
    EXPECT_EQ(picture.GetSizeInPixels(), QSize(40, 20));
    // ...one that opens but does not decode has released it.
    const QString garbage = m_dir.file(QStringLiteral("garbage.dat"));
    TempDirectory::writeFile(garbage, QByteArray(100, 'x'));
    EXPECT_FALSE(picture.LoadFromFile(garbage));
    EXPECT_FALSE(picture.isLoaded());
    EXPECT_EQ(picture.GetSizeInPixels(), QSize(0, 0));
}

TEST_F(SealPictureTest, SizeInPixelsFollowsTheDevicesResolution)
{
    SealPicture picture;
    ASSERT_TRUE(picture.LoadFromFile(writeGif(twoBands(400, 200))));
    QImage dense(10, 10, QImage::Format_RGB32);
    dense.setDotsPerMeterX(7559); // 192 dots per inch
    dense.setDotsPerMeterY(7559);
    EXPECT_EQ(picture.GetSizeInPixels(&dense), QSize(800, 400));
}

TEST_F(SealPictureTest, DrawStretchesTheWholePictureUprightIntoTheRectangle)
{
    SealPicture picture;
    ASSERT_TRUE(picture.LoadFromFile(writeGif(twoBands(40, 20))));
    QImage canvas = whiteCanvas(200, 200);
    {
        QPainter painter(&canvas);
        picture.Draw(painter, QRect(10, 20, 100, 50));
    }
    EXPECT_EQ(canvas.pixel(10, 20), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.pixel(109, 44), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.pixel(10, 69), qRgb(0, 0, 255));
    EXPECT_EQ(canvas.pixel(109, 69), qRgb(0, 0, 255));
    // Nothing outside the rectangle.
    EXPECT_EQ(canvas.pixel(9, 20), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.pixel(110, 69), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.pixel(50, 19), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.pixel(50, 70), qRgb(255, 255, 255));
}

TEST_F(SealPictureTest, DrawIntoAnAllZeroRectangleUsesThePicturesOwnSize)
{
    SealPicture picture;
    ASSERT_TRUE(picture.LoadFromFile(writeGif(twoBands(40, 20))));
    QImage canvas = whiteCanvas(100, 100);
    {
        QPainter painter(&canvas);
        picture.Draw(painter, QRect());
    }
    EXPECT_EQ(canvas.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.pixel(39, 19), qRgb(0, 0, 255));
    EXPECT_EQ(canvas.pixel(40, 10), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.pixel(10, 20), qRgb(255, 255, 255));
}

TEST_F(SealPictureTest, AnEmptyHolderDrawsNothing)
{
    SealPicture picture;
    QImage canvas = whiteCanvas(50, 50);
    {
        QPainter painter(&canvas);
        picture.Draw(painter, QRect(0, 0, 50, 50));
    }
    EXPECT_EQ(canvas, whiteCanvas(50, 50));
}
