#include "SealGif.h"

#include <gif_lib.h>

namespace talvo::testing {

namespace {

int writeToVector(GifFileType* file, const GifByteType* bytes, int length)
{
    auto* out = static_cast<std::vector<uint8_t>*>(file->UserData);
    out->insert(out->end(), bytes, bytes + length);
    return length;
}

} // namespace

std::vector<uint8_t> redFrameGif(int width, int height)
{
    std::vector<uint8_t> out;
    int error = 0;
    GifFileType* file = EGifOpen(&out, writeToVector, &error);
    if (!file)
        return {};
    // The transparent colour is one the page never shows, so that a mask that failed would show.
    GifColorType colours[2] = {{0, 0, 255}, {255, 0, 0}};
    ColorMapObject* map = GifMakeMapObject(2, colours);
    EGifSetGifVersion(file, true);
    EGifPutScreenDesc(file, width, height, 1, 0, map);
    GraphicsControlBlock control{};
    control.TransparentColor = 0;
    GifByteType extension[4] = {};
    const auto extensionLength = static_cast<int>(EGifGCBToExtension(&control, extension));
    EGifPutExtension(file, GRAPHICS_EXT_FUNC_CODE, extensionLength, extension);
    EGifPutImageDesc(file, 0, 0, width, height, false, nullptr);
    std::vector<GifPixelType> row(static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool hole = x >= width / 4 && x < width * 3 / 4 && y >= height / 4 && y < height * 3 / 4;
            row[static_cast<std::size_t>(x)] = hole ? 0 : 1;
        }
        EGifPutLine(file, row.data(), width);
    }
    EGifCloseFile(file, &error);
    GifFreeMapObject(map);
    return out;
}

} // namespace talvo::testing
