#pragma once

#include "pdf/DocumentSealing.h"

namespace talvo {

class KeyDriverBinding;

// The key as the document's signer: its certificate as the key holds it, its signature
// through the key's provider.
class KeyDigestSigner final : public pdf::DigestSigner {
public:
    explicit KeyDigestSigner(KeyDriverBinding& binding) : m_binding(binding) {}

    bool certificate(std::vector<uint8_t>& der, std::string& error) override;
    bool signSha256(const std::array<uint8_t, 32>& digest, std::vector<uint8_t>& signature,
                    std::string& error) override;

private:
    KeyDriverBinding& m_binding;
    std::vector<uint8_t> m_certificate;
};

} // namespace talvo
