#include "CertificateOperations.h"

#include "device/DriverConventions.h"
#include "device/KeyDriverBinding.h"

namespace talvo {

LengthCall certificateRead(KeyDriverBinding& binding)
{
    return [&binding](uint8_t* buffer, uint32_t* length) { return binding.TLKeyReadCert(buffer, length); };
}

LengthCall signatureRead(KeyDriverBinding& binding)
{
    return [&binding](uint8_t* buffer, uint32_t* length) {
        return binding.TLKeyGetSignature(kFixedPin, kFixedPinLength, buffer, length);
    };
}

LengthCall publicKeyRead(KeyDriverBinding& binding)
{
    return
        [&binding](uint8_t* buffer, uint32_t* length) { return binding.TLKeyGetPublicKey(buffer, length); };
}

int32_t verifySignature(KeyDriverBinding& binding, const uint8_t* publicKey, uint32_t publicKeyLength,
                        const uint8_t* signature, uint32_t signatureLength, uint8_t& verified)
{
    return binding.TLVerifySign(kFixedPin, kFixedPinLength, publicKey, publicKeyLength, signature,
                                signatureLength, &verified);
}

} // namespace talvo
