#pragma once

#include <openssl/evp.h>

namespace talvo::csp {

// The provider's own OpenSSL library context with the default and the legacy providers loaded
// (single DES lives only in the legacy one), and the algorithms it uses fetched once.
class OsslLibrary {
public:
    // Created on first use and torn down when the provider library is unloaded.
    static OsslLibrary& instance();
    ~OsslLibrary();
    OsslLibrary(const OsslLibrary&) = delete;
    OsslLibrary& operator=(const OsslLibrary&) = delete;

    bool isReady() const { return m_md5 && m_sha256 && m_desCbc; }
    OSSL_LIB_CTX* context() const { return m_context; }
    const EVP_MD* md5() const { return m_md5; }
    const EVP_MD* sha256() const { return m_sha256; }
    const EVP_CIPHER* desCbc() const { return m_desCbc; }

private:
    OsslLibrary();

    OSSL_LIB_CTX* m_context = nullptr;
    OSSL_PROVIDER* m_default = nullptr;
    OSSL_PROVIDER* m_legacy = nullptr;
    EVP_MD* m_md5 = nullptr;
    EVP_MD* m_sha256 = nullptr;
    EVP_CIPHER* m_desCbc = nullptr;
};

} // namespace talvo::csp
