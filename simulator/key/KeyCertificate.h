#pragma once

#include "simulator/common/ContainerKey.h"

#include <string>

namespace talvo::sim {

// A self-signed X.509 v3 certificate over the given key (SHA-256 with RSA), valid from now for
// ten years, whose subject's common name is the key's serial number. DER bytes. The key signs
// wherever it lives, a token included.
bool makeKeyCertificate(ContainerKey& key, const std::string& serial, std::string& der, std::string* error);

// The certificate as the key hands it out: Base64 between "-----BEGIN CERTIFICATE-----" and
// "-----END CERTIFICATE-----" lines, the form that every .cer viewer opens. Empty when the
// encoding fails.
std::string certificatePem(const std::string& der);

} // namespace talvo::sim
