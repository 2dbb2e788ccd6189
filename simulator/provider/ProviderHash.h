#pragma once

#include "platform/cryptoapi/WinCryptTypes.h"

#include <openssl/evp.h>

#include <memory>
#include <vector>

namespace talvo::csp {

// A hash object, MD5 or SHA-256: data goes in until its value is first taken (to sign or
// verify) or set whole (HP_HASHVAL, a digest computed elsewhere), after which the value is
// fixed and more data is refused.
class ProviderHash {
public:
    // Null for another algorithm, or when the digest cannot be set up.
    static std::unique_ptr<ProviderHash> create(ALG_ID algorithm);

    ALG_ID algorithm() const { return m_algorithm; }
    DWORD size() const { return static_cast<DWORD>(m_digest.size()); }
    bool isFinished() const { return m_finished; }
    bool update(const BYTE* data, DWORD length);
    // False unless the value has this hash's size.
    bool setValue(const BYTE* value, DWORD length);
    // Null when the digest cannot be finished.
    const std::vector<BYTE>* value();

private:
    struct MdCtxDeleter {
        void operator()(EVP_MD_CTX* ctx) const { EVP_MD_CTX_free(ctx); }
    };

    ProviderHash() = default;

    std::unique_ptr<EVP_MD_CTX, MdCtxDeleter> m_ctx;
    ALG_ID m_algorithm = 0;
    bool m_finished = false;
    std::vector<BYTE> m_digest;
};

} // namespace talvo::csp
