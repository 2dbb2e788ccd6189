#pragma once

#include "TokenReference.h"

#include <p11-kit/uri.h>

#include <filesystem>
#include <memory>
#include <string>

namespace talvo::sim {

struct TokenUriDeleter {
    void operator()(P11KitUri* uri) const { p11_kit_uri_free(uri); }
};
using TokenUri = std::unique_ptr<P11KitUri, TokenUriDeleter>;

// The reference's URI, read before any module is loaded: a PKCS#11 URI that holds no PIN, and
// the PIN file, the reference's or else the one the URI's pin-source names by its absolute
// path (empty for a PIN pad). Null, with the reason, for a URI that cannot be used.
TokenUri readTokenUri(const TokenReference& reference, std::filesystem::path& pinFile, std::string* error);

} // namespace talvo::sim
