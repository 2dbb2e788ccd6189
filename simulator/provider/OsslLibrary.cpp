#include "OsslLibrary.h"

#include <openssl/provider.h>

namespace talvo::csp {

OsslLibrary& OsslLibrary::instance()
{
    static OsslLibrary library;
    return library;
}

OsslLibrary::OsslLibrary()
{
    m_context = OSSL_LIB_CTX_new();
    if (!m_context)
        return;
    m_default = OSSL_PROVIDER_load(m_context, "default");
    m_legacy = OSSL_PROVIDER_load(m_context, "legacy");
    if (!m_default || !m_legacy)
        return;
    m_md5 = EVP_MD_fetch(m_context, "MD5", nullptr);
    m_sha256 = EVP_MD_fetch(m_context, "SHA256", nullptr);
    m_desCbc = EVP_CIPHER_fetch(m_context, "DES-CBC", nullptr);
}

OsslLibrary::~OsslLibrary()
{
    EVP_CIPHER_free(m_desCbc);
    EVP_MD_free(m_md5);
    EVP_MD_free(m_sha256);
    if (m_legacy)
        OSSL_PROVIDER_unload(m_legacy);
    if (m_default)
        OSSL_PROVIDER_unload(m_default);
    OSSL_LIB_CTX_free(m_context);
}

} // namespace talvo::csp
