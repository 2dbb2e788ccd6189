#include "Md5Hash.h"

#include "OsslLibrary.h"

namespace talvo::csp {

std::unique_ptr<Md5Hash> Md5Hash::create()
{
    const OsslLibrary& library = OsslLibrary::instance();
    if (!library.isReady())
        return nullptr;
    std::unique_ptr<Md5Hash> hash(new Md5Hash());
    hash->m_ctx.reset(EVP_MD_CTX_new());
    if (!hash->m_ctx || EVP_DigestInit_ex2(hash->m_ctx.get(), library.md5(), nullptr) != 1)
        return nullptr;
    return hash;
}

bool Md5Hash::update(const BYTE* data, DWORD length)
{
    return !m_finished && (length == 0 || EVP_DigestUpdate(m_ctx.get(), data, length) == 1);
}

const Md5Hash::Digest* Md5Hash::value()
{
    if (!m_finished) {
        unsigned int length = 0;
        if (EVP_DigestFinal_ex(m_ctx.get(), m_digest, &length) != 1 || length != kSize)
            return nullptr;
        m_finished = true;
    }
    return &m_digest;
}

} // namespace talvo::csp
