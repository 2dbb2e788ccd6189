// Decode-and-draw of the seal list's preview, which decodes the picture file on every paint:
// a typical seal picture (400x400 GIF) and a large one (2000x2000 GIF), medians over many
// runs. Usage: talvo-seal-preview-bench [runs-for-400] [runs-for-2000] [directory to keep the
// pictures and the drawn previews in]
#include "dev/gif/GifEncoder.h"
#include "seals/SealPreview.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// The seal list's client area at its template size (274 x 236 dialog units).
const QSize kClientArea(480, 502);

// A red official seal: ring, star and a line of text, antialiased, on white.
QImage sealPicture(int side)
{
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor red(210, 20, 30);
    const double unit = side / 400.0;
    painter.setPen(QPen(red, 14 * unit));
    painter.drawEllipse(QRectF(20 * unit, 20 * unit, 360 * unit, 360 * unit));
    QPainterPath star;
    for (int i = 0; i < 5; ++i) {
        const double outer = -M_PI / 2 + i * 4 * M_PI / 5;
        const QPointF point(200 * unit + 70 * unit * std::cos(outer),
                            190 * unit + 70 * unit * std::sin(outer));
        i == 0 ? star.moveTo(point) : star.lineTo(point);
    }
    star.closeSubpath();
    star.setFillRule(Qt::WindingFill);
    painter.setPen(Qt::NoPen);
    painter.setBrush(red);
    painter.drawPath(star);
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(static_cast<int>(40 * unit));
    painter.setFont(font);
    painter.setPen(red);
    painter.drawText(QRectF(0, 280 * unit, side, 60 * unit), Qt::AlignCenter, QStringLiteral("合同专用章"));
    return image;
}

struct Figures {
    double median;
    double low;
    double p90;
};

Figures measure(const QString& path, int runs, bool* drew)
{
    QImage canvas(kClientArea, QImage::Format_ARGB32_Premultiplied);
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(runs));
    *drew = true;
    for (int run = 0; run < runs; ++run) {
        canvas.fill(Qt::lightGray);
        QElapsedTimer timer;
        timer.start();
        QPainter painter(&canvas);
        *drew = talvo::drawSealPreview(painter, path, kClientArea) && *drew;
        painter.end();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    const auto at = [&](double fraction) {
        return times[std::min(times.size() - 1,
                              static_cast<std::size_t>(fraction * static_cast<double>(times.size())))];
    };
    return {at(0.5), times.front(), at(0.9)};
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const int typicalRuns = argc > 1 ? std::atoi(argv[1]) : 300;
    const int largeRuns = argc > 2 ? std::atoi(argv[2]) : 40;

    QTemporaryDir temporary;
    const QString kept = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    const QDir directory(kept.isEmpty() ? temporary.path() : kept);
    const struct {
        int side;
        int runs;
    } cases[] = {{400, typicalRuns}, {2000, largeRuns}};
    std::printf("seal preview decode-and-draw into a %dx%d client area\n", kClientArea.width(),
                kClientArea.height());
    bool allDrawn = true;
    for (const auto& [side, runs] : cases) {
        const QString path = directory.filePath(QStringLiteral("picture-%1.dat").arg(side));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(talvo::testing::encodeGif(sealPicture(side))) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        const qint64 bytes = file.size();
        file.close();
        bool drew = false;
        measure(path, 3, &drew); // warm the image plugins and caches
        const Figures figures = measure(path, std::max(runs, 1), &drew);
        if (!kept.isEmpty()) {
            QImage preview(kClientArea, QImage::Format_ARGB32_Premultiplied);
            preview.fill(Qt::lightGray);
            QPainter painter(&preview);
            talvo::drawSealPreview(painter, path, kClientArea);
            painter.end();
            preview.save(directory.filePath(QStringLiteral("preview-%1.png").arg(side)));
        }
        allDrawn = allDrawn && drew;
        std::printf("%4dx%-4d GIF %8lld bytes  runs %4d  median %7.2f ms  min %7.2f ms  p90 %7.2f ms%s\n",
                    side, side, static_cast<long long>(bytes), runs, figures.median, figures.low, figures.p90,
                    drew ? "" : "  (NOT DRAWN)");
    }
    return allDrawn ? 0 : 1;
}
