#pragma once

#include "TokenSession.h"

#include "simulator/common/ContainerKey.h"
#include "simulator/common/ContainerKeys.h"

namespace talvo::sim {

// A pair whose private key stays on the token: signing and decryption are CKM_RSA_PKCS
// operations of the session, which must outlive the key.
class TokenContainerKey : public ContainerKey {
public:
    TokenContainerKey(TokenSession& session, CK_OBJECT_HANDLE privateKey, EvpPkeyPtr publicKey);

    EVP_PKEY* publicKey() const override { return m_publicKey.get(); }
    std::optional<std::string> signDigestInfo(std::string_view digestInfo) override;
    std::optional<std::string> decrypt(std::string_view ciphertext) override;

private:
    TokenSession& m_session;
    CK_OBJECT_HANDLE m_privateKey;
    EvpPkeyPtr m_publicKey;
};

} // namespace talvo::sim
