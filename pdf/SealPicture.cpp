#include "SealPicture.h"

#include <gif_lib.h>

#include <cstring>
#include <memory>

namespace talvo::pdf {

namespace {

// No seal needs more; a larger picture is a damaged or hostile file, not one to allocate for.
constexpr int kLargestSide = 8192;
constexpr long kLargestPixelCount = 2048L * 2048L;

struct MemoryReader {
    const std::vector<uint8_t>* bytes = nullptr;
    std::size_t position = 0;
};

int readFromMemory(GifFileType* file, GifByteType* out, int length)
{
    auto* reader = static_cast<MemoryReader*>(file->UserData);
    const std::size_t left = reader->bytes->size() - reader->position;
    const std::size_t count = length > 0 ? std::min(left, static_cast<std::size_t>(length)) : 0;
    if (count > 0)
        std::memcpy(out, reader->bytes->data() + reader->position, count);
    reader->position += count;
    return static_cast<int>(count);
}

struct GifCloser {
    void operator()(GifFileType* file) const
    {
        int error = 0;
        DGifCloseFile(file, &error);
    }
};

} // namespace

bool decodeSealPicture(const std::vector<uint8_t>& gif, SealPicture& picture, std::string& error)
{
    MemoryReader reader{&gif, 0};
    int status = 0;
    std::unique_ptr<GifFileType, GifCloser> file(DGifOpen(&reader, readFromMemory, &status));
    if (!file || DGifSlurp(file.get()) != GIF_OK || file->ImageCount < 1) {
        error = "签章图片不是可读的GIF图片";
        return false;
    }
    const int width = file->SWidth;
    const int height = file->SHeight;
    if (width < 1 || height < 1 || width > kLargestSide || height > kLargestSide ||
        static_cast<long>(width) * height > kLargestPixelCount) {
        error = "签章图片的尺寸无效";
        return false;
    }
    const SavedImage& image = file->SavedImages[0];
    const ColorMapObject* colours = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : file->SColorMap;
    if (!colours || !image.RasterBits) {
        error = "签章图片没有颜色表";
        return false;
    }
    GraphicsControlBlock control{};
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    DGifSavedExtensionToGCB(file.get(), 0, &control);

    const auto pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    picture.width = width;
    picture.height = height;
    picture.rgb.assign(pixels * 3, 0);
    picture.alpha.assign(pixels, 0);
    const GifImageDesc& frame = image.ImageDesc;
    for (int row = 0; row < frame.Height; ++row) {
        const int y = frame.Top + row;
        if (y < 0 || y >= height)
            continue;
        for (int column = 0; column < frame.Width; ++column) {
            const int x = frame.Left + column;
            if (x < 0 || x >= width)
                continue;
            const int index = image.RasterBits[static_cast<std::size_t>(row) * frame.Width + column];
            if (index == control.TransparentColor || index >= colours->ColorCount)
                continue;
            const GifColorType& colour = colours->Colors[index];
            const std::size_t at = static_cast<std::size_t>(y) * width + x;
            picture.rgb[at * 3] = colour.Red;
            picture.rgb[at * 3 + 1] = colour.Green;
            picture.rgb[at * 3 + 2] = colour.Blue;
            picture.alpha[at] = 255;
        }
    }
    return true;
}

} // namespace talvo::pdf
