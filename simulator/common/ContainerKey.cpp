#include "ContainerKey.h"

namespace talvo::sim {

namespace {

// The fixed DER prefixes of RFC 8017, section 9.2, note 1.
constexpr unsigned char kMd5Prefix[] = {0x30, 0x20, 0x30, 0x0c, 0x06, 0x08, 0x2a, 0x86, 0x48,
                                        0x86, 0xf7, 0x0d, 0x02, 0x05, 0x05, 0x00, 0x04, 0x10};
constexpr unsigned char kSha256Prefix[] = {0x30, 0x31, 0x30, 0x0d, 0x06, 0x09, 0x60, 0x86, 0x48, 0x01,
                                           0x65, 0x03, 0x04, 0x02, 0x01, 0x05, 0x00, 0x04, 0x20};

template <std::size_t N> std::string prefixed(const unsigned char (&prefix)[N], std::string_view digest)
{
    return std::string(reinterpret_cast<const char*>(prefix), N) + std::string(digest);
}

} // namespace

std::string md5DigestInfo(std::string_view digest)
{
    return prefixed(kMd5Prefix, digest);
}

std::string sha256DigestInfo(std::string_view digest)
{
    return prefixed(kSha256Prefix, digest);
}

} // namespace talvo::sim
