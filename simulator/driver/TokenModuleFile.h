#pragma once

#include "simulator/token/TokenReference.h"

#include <string>

namespace talvo::sim {

// The file of the PKCS#11 module that holds the reference's token: the URI's module-path=, or
// the registered p11-kit module in which the token is found. Empty, with the reason, when the
// token is in none or in several.
std::string tokenModuleFile(const TokenReference& reference, std::string* error);

} // namespace talvo::sim
