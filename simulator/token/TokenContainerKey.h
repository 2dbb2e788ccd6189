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
    using Start = CK_RV (*)(CK_SESSION_HANDLE, CK_MECHANISM*, CK_OBJECT_HANDLE);
    using Finish = CK_RV (*)(CK_SESSION_HANDLE, unsigned char*, CK_ULONG, unsigned char*, CK_ULONG*);

    // One CKM_RSA_PKCS operation with the private key; its output is at most the modulus long.
    std::optional<std::string> privateKeyOperation(Start start, Finish finish, std::string_view input,
                                                   const char* what);

    TokenSession& m_session;
    CK_OBJECT_HANDLE m_privateKey;
    EvpPkeyPtr m_publicKey;
};

} // namespace talvo::sim
