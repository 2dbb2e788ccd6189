#pragma once

#include "ContainerKey.h"
#include "ContainerKeys.h"

#include <filesystem>
#include <memory>

namespace talvo::sim {

// A pair whose private key is a PEM file of the state directory, used in the given OpenSSL
// library context (null for the default one).
class PemContainerKey : public ContainerKey {
public:
    PemContainerKey(EvpPkeyPtr key, OSSL_LIB_CTX* library = nullptr);
    // Null, with the reason, when the file is no RSA private key.
    static std::unique_ptr<PemContainerKey> load(const std::filesystem::path& pemFile, std::string* error,
                                                 OSSL_LIB_CTX* library = nullptr);

    EVP_PKEY* publicKey() const override { return m_key.get(); }
    std::optional<std::string> signDigestInfo(std::string_view digestInfo) override;
    std::optional<std::string> decrypt(std::string_view ciphertext) override;

private:
    EvpPkeyPtr m_key;
    OSSL_LIB_CTX* m_library;
};

} // namespace talvo::sim
