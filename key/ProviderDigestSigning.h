#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace talvo {

// A SHA-256 digest signed with the signature key of the key's cryptographic service provider
// (the provider and container that sign secure message files), so that a token-backed key
// signs on its token. The certificate must carry that very key: otherwise nothing is signed.
struct ProviderSignature {
    bool ok = false;
    std::vector<uint8_t> signature; // PKCS#1 v1.5, big-endian
    std::string error;              // UTF-8, for the key holder
};

ProviderSignature signSha256WithProvider(const std::vector<uint8_t>& certificateDer,
                                         const std::array<uint8_t, 32>& digest);

} // namespace talvo
