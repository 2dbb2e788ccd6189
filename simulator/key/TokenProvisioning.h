#pragma once

#include "DemoKey.h"

#include "simulator/token/TokenReference.h"

#include <filesystem>
#include <string>

namespace talvo::sim {

// Whether a Talvo key already on the token keeps its pairs and certificate.
enum class TokenPairs { New, KeepWhole };

// Puts a Talvo key with the given content on the token that the reference names, then makes
// the directory name the token instead of holding a key of its own files. New or missing
// pairs are generated on the token, RSA 2048, their private keys sensitive and never
// extractable, with a certificate object over the signature key. Nothing is written, on the
// token or in the directory, when the PIN file, the URI, the token's mechanisms or objects of
// another application on it refuse the key; what an error stops halfway is destroyed again,
// and a key that was there stays whole.
bool provisionTokenKey(const std::filesystem::path& directory, const TokenReference& reference,
                       KeyContent content, TokenPairs pairs, std::string* error);

} // namespace talvo::sim
