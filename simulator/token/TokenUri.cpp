#include "TokenUri.h"

#include <new>
#include <string_view>

namespace talvo::sim {

TokenUri readTokenUri(const TokenReference& reference, std::filesystem::path& pinFile, std::string* error)
{
    const auto failed = [&](const std::string& message) {
        if (error)
            *error = message;
        return TokenUri();
    };
    TokenUri uri(p11_kit_uri_new());
    if (!uri)
        throw std::bad_alloc();
    if (const int parsed = p11_kit_uri_parse(reference.uri.c_str(), P11_KIT_URI_FOR_ANY, uri.get());
        parsed != P11_KIT_URI_OK)
        return failed("\"" + reference.uri + "\" is no PKCS#11 URI: " + p11_kit_uri_message(parsed));
    if (p11_kit_uri_get_pin_value(uri.get()))
        return failed("the token URI holds a PIN (pin-value); keep the PIN in a private PIN file instead");
    // p11-kit's own PIN source in the URI names a PIN file as --pin-file does, under the same rules.
    pinFile = reference.pinFile;
    if (const char* source = p11_kit_uri_get_pin_source(uri.get()); source && pinFile.empty()) {
        const std::string_view text = std::string_view(source).starts_with("file:") ? source + 5 : source;
        if (!std::filesystem::path(text).is_absolute())
            return failed("the token URI's pin-source must name a PIN file by its absolute path");
        pinFile = text;
    }
    return uri;
}

} // namespace talvo::sim
