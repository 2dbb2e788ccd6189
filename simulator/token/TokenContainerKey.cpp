#include "TokenContainerKey.h"

namespace talvo::sim {

TokenContainerKey::TokenContainerKey(TokenSession& session, CK_OBJECT_HANDLE privateKey, EvpPkeyPtr publicKey)
    : m_session(session), m_privateKey(privateKey), m_publicKey(std::move(publicKey))
{
}

std::optional<std::string> TokenContainerKey::signDigestInfo(std::string_view digestInfo)
{
    CK_FUNCTION_LIST& f = m_session.functions();
    return privateKeyOperation(f.C_SignInit, f.C_Sign, digestInfo, "sign");
}

std::optional<std::string> TokenContainerKey::decrypt(std::string_view ciphertext)
{
    CK_FUNCTION_LIST& f = m_session.functions();
    return privateKeyOperation(f.C_DecryptInit, f.C_Decrypt, ciphertext, "decrypt");
}

std::optional<std::string> TokenContainerKey::privateKeyOperation(Start start, Finish finish,
                                                                  std::string_view input, const char* what)
{
    CK_MECHANISM mechanism{CKM_RSA_PKCS, nullptr, 0};
    std::string data(input);
    std::string output(static_cast<std::size_t>(EVP_PKEY_get_size(m_publicKey.get())), '\0');
    auto length = static_cast<CK_ULONG>(output.size());
    if (!m_session.succeeded(start(m_session.handle(), &mechanism, m_privateKey),
                             std::string("start to ") + what) ||
        !m_session.succeeded(finish(m_session.handle(), reinterpret_cast<unsigned char*>(data.data()),
                                    static_cast<CK_ULONG>(data.size()),
                                    reinterpret_cast<unsigned char*>(output.data()), &length),
                             what))
        return std::nullopt;
    output.resize(length);
    return output;
}

} // namespace talvo::sim
