#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace talvo::pdf {

// A seal's GIF decoded for the page: 8-bit RGB samples and an 8-bit mask in which the GIF's
// transparent colour is 0 and every other pixel 255.
struct SealPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
    std::vector<uint8_t> alpha;
};

// The first image of the GIF, on its logical screen (what lies outside the image is
// transparent). False, with the reason, for anything that is no GIF giflib can read.
bool decodeSealPicture(const std::vector<uint8_t>& gif, SealPicture& picture, std::string& error);

} // namespace talvo::pdf
