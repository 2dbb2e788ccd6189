#include "KeyDigestSigner.h"

#include "device/KeyDriverBinding.h"
#include "device/StatusText.h"
#include "key/CertificateOperations.h"
#include "key/ProviderDigestSigning.h"
#include "key/TwoCallRead.h"
#include "platform/core/CertificateDetails.h"

namespace talvo {

bool KeyDigestSigner::certificate(std::vector<uint8_t>& der, std::string& error)
{
    if (m_certificate.empty()) {
        TwoCallRead read(certificateRead(m_binding));
        if (const int32_t status = read.readAll(); status != TL_OK) {
            error = "无法读取密钥中的证书：" + statusText(status).toStdString();
            return false;
        }
        if (read.size() == 0) {
            error = "密钥中没有证书";
            return false;
        }
        const std::optional<std::vector<uint8_t>> converted = certificateDer(read.toByteArray());
        if (!converted) {
            error = "密钥中的证书无法读取";
            return false;
        }
        m_certificate = *converted;
    }
    der = m_certificate;
    return true;
}

bool KeyDigestSigner::signSha256(const std::array<uint8_t, 32>& digest, std::vector<uint8_t>& signature,
                                 std::string& error)
{
    std::vector<uint8_t> der;
    if (!certificate(der, error))
        return false;
    ProviderSignature made = signSha256WithProvider(der, digest);
    if (!made.ok) {
        error = made.error;
        return false;
    }
    signature = std::move(made.signature);
    return true;
}

} // namespace talvo
