#pragma once

#include "DocumentSealing.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace talvo::pdf {

// A detached CMS SignedData over a document's SHA-256 digest, with the signed attributes
// content-type, message-digest and signing-certificate-v2 and the signer's certificate. The
// signature value over the signed attributes comes from the signer and is checked against the
// certificate before it is used.
bool buildCmsSignature(const std::array<uint8_t, 32>& documentDigest, DigestSigner& signer,
                       std::vector<uint8_t>& der, std::string& error);

} // namespace talvo::pdf
