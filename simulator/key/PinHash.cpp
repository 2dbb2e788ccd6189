#include "PinHash.h"

#include <openssl/evp.h>

namespace talvo::sim {

std::string pinHash(const char* pin, std::size_t length)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int digestLength = 0;
    static const unsigned char empty = 0;
    const void* data = pin ? static_cast<const void*>(pin) : &empty;
    if (EVP_Digest(data, pin ? length : 0, digest, &digestLength, EVP_md5(), nullptr) != 1)
        return {};
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned int i = 0; i < digestLength; ++i) {
        text += digits[digest[i] >> 4];
        text += digits[digest[i] & 0x0f];
    }
    return text;
}

} // namespace talvo::sim
