#pragma once

#include "platform/cryptoapi/WinCryptTypes.h"

#include <openssl/evp.h>

#include <memory>

namespace talvo::csp {

// An MD5 hash object: data goes in until its value is first taken (to sign or verify), after
// which the value is fixed and more data is refused.
class Md5Hash {
public:
    static constexpr DWORD kSize = 16;
    using Digest = BYTE[kSize];

    // Null when the digest cannot be set up.
    static std::unique_ptr<Md5Hash> create();

    bool isFinished() const { return m_finished; }
    bool update(const BYTE* data, DWORD length);
    // Null when the digest cannot be finished.
    const Digest* value();

private:
    struct MdCtxDeleter {
        void operator()(EVP_MD_CTX* ctx) const { EVP_MD_CTX_free(ctx); }
    };

    Md5Hash() = default;

    std::unique_ptr<EVP_MD_CTX, MdCtxDeleter> m_ctx;
    bool m_finished = false;
    Digest m_digest{};
};

} // namespace talvo::csp
