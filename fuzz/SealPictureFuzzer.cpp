// Feeds arbitrary bytes to the seal list's preview as the picture file it decodes and draws,
// on the offscreen platform. A picture that decodes is drawn within the preview's bounds.

#include "FuzzScratch.h"
#include "seals/SealPreview.h"

#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::filesystem::path g_workDir;
std::unique_ptr<QGuiApplication> g_application;

} // namespace

int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    g_workDir = talvo::fuzz::makeScratchDirectory("talvo-picture-fuzz");
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    g_application = std::make_unique<QGuiApplication>(*argc, *argv);
    // Gone before Qt's own statics are.
    std::atexit([] { g_application.reset(); });
    return 0;
}

int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::filesystem::path file = g_workDir / "picture";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    // The list's client area; the preview hangs 10 pixels below its middle.
    QImage canvas(400, 420, QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    bool drawn = false;
    {
        QPainter painter(&canvas);
        drawn = talvo::drawSealPreview(painter, QString::fromStdString(file.string()), canvas.size());
    }
    if (!drawn)
        return 0;
    // Nothing lands outside the 300-pixel square, centred and dropped by 10 pixels (a pixel
    // more on each side for smoothing).
    const QRect bounds(50 - 1, 70 - 1, 300 + 2, 300 + 2);
    for (int y = 0; y < canvas.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
        for (int x = 0; x < canvas.width(); ++x) {
            if (qAlpha(line[x]) != 0 && !bounds.contains(x, y)) {
                std::fprintf(stderr, "the preview drew outside its square at %d,%d\n", x, y);
                std::abort();
            }
        }
    }
    return 0;
}
