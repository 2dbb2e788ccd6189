#include "ProviderHash.h"

#include "OsslLibrary.h"

#include <algorithm>

namespace talvo::csp {

std::unique_ptr<ProviderHash> ProviderHash::create(ALG_ID algorithm)
{
    const OsslLibrary& library = OsslLibrary::instance();
    if (!library.isReady())
        return nullptr;
    const EVP_MD* md = algorithm == CALG_MD5       ? library.md5()
                       : algorithm == CALG_SHA_256 ? library.sha256()
                                                   : nullptr;
    if (!md)
        return nullptr;
    std::unique_ptr<ProviderHash> hash(new ProviderHash());
    hash->m_algorithm = algorithm;
    hash->m_digest.assign(static_cast<std::size_t>(EVP_MD_get_size(md)), 0);
    hash->m_ctx.reset(EVP_MD_CTX_new());
    if (!hash->m_ctx || EVP_DigestInit_ex2(hash->m_ctx.get(), md, nullptr) != 1)
        return nullptr;
    return hash;
}

bool ProviderHash::update(const BYTE* data, DWORD length)
{
    return !m_finished && (length == 0 || EVP_DigestUpdate(m_ctx.get(), data, length) == 1);
}

bool ProviderHash::setValue(const BYTE* value, DWORD length)
{
    if (m_finished || !value || length != size())
        return false;
    std::copy(value, value + length, m_digest.begin());
    m_finished = true;
    return true;
}

const std::vector<BYTE>* ProviderHash::value()
{
    if (!m_finished) {
        unsigned int length = 0;
        if (EVP_DigestFinal_ex(m_ctx.get(), m_digest.data(), &length) != 1 || length != size())
            return nullptr;
        m_finished = true;
    }
    return &m_digest;
}

} // namespace talvo::csp
