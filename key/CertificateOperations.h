#pragma once

#include "TwoCallRead.h"

#include <cstdint>

namespace talvo {

class KeyDriverBinding;

// The key's certificate, its signature and its public key, each read in the two-call form;
// the signature is made with the fixed PIN.
LengthCall certificateRead(KeyDriverBinding& binding);
LengthCall signatureRead(KeyDriverBinding& binding);
LengthCall publicKeyRead(KeyDriverBinding& binding);

// The key's check of a signature against a public key, with the fixed PIN: the driver's
// status, and verified as the driver left it.
int32_t verifySignature(KeyDriverBinding& binding, const uint8_t* publicKey, uint32_t publicKeyLength,
                        const uint8_t* signature, uint32_t signatureLength, uint8_t& verified);

} // namespace talvo
