#pragma once

#include <cstdint>
#include <vector>

namespace talvo::testing {

// A seal picture as the key would hold it: a red frame around a hole in its transparent
// colour, blue (half the picture's width and height, centred), written with giflib.
std::vector<uint8_t> redFrameGif(int width, int height);

} // namespace talvo::testing
