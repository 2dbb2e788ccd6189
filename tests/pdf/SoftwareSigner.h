#pragma once

#include "pdf/DocumentSealing.h"

#include <openssl/evp.h>

#include <memory>

namespace talvo::testing {

// A signer whose key lives in the test: a fresh RSA key and a self-signed certificate for it.
// It can be told to answer with another key's signature, as a key whose certificate does not
// match its provider would.
class SoftwareSigner final : public pdf::DigestSigner {
public:
    SoftwareSigner();

    bool certificate(std::vector<uint8_t>& der, std::string& error) override;
    bool signSha256(const std::array<uint8_t, 32>& digest, std::vector<uint8_t>& signature,
                    std::string& error) override;

    void signWithAnotherKey();
    int signatures() const { return m_signatures; }

private:
    struct PkeyDeleter {
        void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
    };
    std::unique_ptr<EVP_PKEY, PkeyDeleter> m_key;
    std::unique_ptr<EVP_PKEY, PkeyDeleter> m_signingKey;
    std::vector<uint8_t> m_certificate;
    int m_signatures = 0;
};

} // namespace talvo::testing
