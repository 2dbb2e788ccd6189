#include "FakeKey.h"
#include "dev/gif/GifEncoder.h"
#include "dev/tour/SealDialogsTour.h"
#include "device/KeyDriverBinding.h"
#include "seals/SealGeometry.h"
#include "support/ScriptedInteraction.h"
#include "support/TempDirectory.h"

#include <QPainter>

#include <gtest/gtest.h>

using namespace talvo;
using namespace talvo::testing;

namespace {

QImage sealStamp()
{
    QImage image(400, 400, QImage::Format_RGB32);
    image.fill(Qt::white);
    // Two colours only, so the GIF keeps them exactly.
    QPainter painter(&image);
    painter.setPen(QPen(QColor(220, 0, 0), 14));
    painter.drawEllipse(QRect(20, 20, 360, 360));
    painter.setBrush(QColor(220, 0, 0));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QRect(150, 150, 100, 100));
    return image;
}

} // namespace

// Set TALVO_SEAL_TOUR_DIR to keep the pictures for a look.
TEST(SealTour, RendersTheListWithItsPictureAndBothSmallDialogs)
{
    TempDirectory runtime;
    ScopedEnvironment runtimeVariable("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    TempDirectory output;
    const QByteArray keep = qgetenv("TALVO_SEAL_TOUR_DIR");
    const QString directory = keep.isEmpty() ? output.path() : QString::fromLocal8Bit(keep);
    FakeKey key;
    ASSERT_TRUE(key.isLoaded());
    key.putSeal(0, 101, QStringLiteral("合同专用章"), "2030-12-31 00:00:00", "2024-05-06");
    key.putSeal(4, 105, QStringLiteral("财务专用章"), "2031-01-01 00:00:00", "2024-05-07");
    key.putPicture(101, encodeGif(sealStamp()));
    KeyDriverBinding binding;
    ScriptedInteraction seam;

    renderSealDialogsForTour(&binding, directory);

    EXPECT_TRUE(seam.boxes().empty());
    const QImage list(directory + QStringLiteral("/seals-list.png"));
    const QImage name(directory + QStringLiteral("/seals-name.png"));
    const QImage time(directory + QStringLiteral("/seals-time.png"));
    ASSERT_FALSE(list.isNull());
    EXPECT_FALSE(name.isNull());
    EXPECT_FALSE(time.isNull());
    // The stamp's solid centre lands at the middle of the 300-pixel preview (smooth scaling
    // may shift the red by a step or two).
    const QPoint origin = previewOrigin(list.size(), QSize(300, 300));
    const QRgb centre = list.pixel(origin + QPoint(150, 150));
    EXPECT_NEAR(qRed(centre), 220, 4);
    EXPECT_EQ(qGreen(centre), 0);
    EXPECT_EQ(qBlue(centre), 0);
}
