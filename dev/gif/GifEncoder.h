#pragma once

#include <QByteArray>
#include <QImage>

namespace talvo::testing {

// Writes a one-frame GIF89a: the image reduced to a 256-colour palette, LZW-compressed.
// Qt reads GIF but cannot write it; tests and benchmarks make their pictures with this.
QByteArray encodeGif(const QImage& image);

} // namespace talvo::testing
