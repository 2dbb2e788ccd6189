#include "TokenContainerKey.h"

namespace talvo::sim {

namespace {

CK_MECHANISM rsaPkcs()
{
    return CK_MECHANISM{CKM_RSA_PKCS, nullptr, 0};
}

} // namespace

TokenContainerKey::TokenContainerKey(TokenSession& session, CK_OBJECT_HANDLE privateKey, EvpPkeyPtr publicKey)
    : m_session(session), m_privateKey(privateKey), m_publicKey(std::move(publicKey))
{
}

std::optional<std::string> TokenContainerKey::signDigestInfo(std::string_view digestInfo)
{
    CK_FUNCTION_LIST& f = m_session.functions();
    CK_MECHANISM mechanism = rsaPkcs();
    std::string data(digestInfo);
    std::string signature(static_cast<std::size_t>(EVP_PKEY_get_size(m_publicKey.get())), '\0');
    auto length = static_cast<CK_ULONG>(signature.size());
    if (!m_session.succeeded(f.C_SignInit(m_session.handle(), &mechanism, m_privateKey),
                             "start a signature") ||
        !m_session.succeeded(f.C_Sign(m_session.handle(), reinterpret_cast<unsigned char*>(data.data()),
                                      static_cast<CK_ULONG>(data.size()),
                                      reinterpret_cast<unsigned char*>(signature.data()), &length),
                             "sign"))
        return std::nullopt;
    signature.resize(length);
    return signature;
}

std::optional<std::string> TokenContainerKey::decrypt(std::string_view ciphertext)
{
    CK_FUNCTION_LIST& f = m_session.functions();
    CK_MECHANISM mechanism = rsaPkcs();
    std::string data(ciphertext);
    std::string plain(static_cast<std::size_t>(EVP_PKEY_get_size(m_publicKey.get())), '\0');
    auto length = static_cast<CK_ULONG>(plain.size());
    if (!m_session.succeeded(f.C_DecryptInit(m_session.handle(), &mechanism, m_privateKey),
                             "start a decryption") ||
        !m_session.succeeded(f.C_Decrypt(m_session.handle(), reinterpret_cast<unsigned char*>(data.data()),
                                         static_cast<CK_ULONG>(data.size()),
                                         reinterpret_cast<unsigned char*>(plain.data()), &length),
                             "decrypt"))
        return std::nullopt;
    plain.resize(length);
    return plain;
}

} // namespace talvo::sim
