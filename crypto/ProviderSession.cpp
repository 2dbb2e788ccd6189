#include "ProviderSession.h"

#include "SecureMessageFormat.h"

#include <vector>

namespace talvo {

bool ProviderSession::acquire(DWORD paramFlags, QString& failureText)
{
    using secure_message::kProviderName;
    ScopedCryptContext defaultContext;
    if (!CryptAcquireContextA(defaultContext.receive(), nullptr, kProviderName, PROV_RSA_FULL, 0)) {
        failureText = QStringLiteral("CryptAcquireContext error");
        return false;
    }
    DWORD length = 4;
    if (!CryptGetProvParam(defaultContext.get(), PP_CONTAINER, nullptr, &length, paramFlags)) {
        failureText = QStringLiteral("CryptGetProvParam error");
        return false;
    }
    // Container names are short; a length beyond any of them is the provider's fault, not a
    // reason to allocate whatever it says.
    constexpr DWORD kLongestContainerName = 1024;
    if (length > kLongestContainerName) {
        failureText = QStringLiteral("CryptGetProvParam error");
        return false;
    }
    // One zero byte more than reported, so the name is terminated whatever the provider wrote.
    std::vector<BYTE> name(static_cast<size_t>(length) + 1, 0);
    if (!CryptGetProvParam(defaultContext.get(), PP_CONTAINER, name.data(), &length, paramFlags)) {
        failureText = QStringLiteral("CryptGetProvParam error");
        return false;
    }
    name.back() = 0;
    if (!CryptAcquireContextA(m_context.receive(), reinterpret_cast<const char*>(name.data()), kProviderName,
                              PROV_RSA_FULL, 0)) {
        failureText = QStringLiteral("CryptAcquireContext error");
        return false;
    }
    return true;
}

} // namespace talvo
