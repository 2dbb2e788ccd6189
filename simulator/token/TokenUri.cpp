#include "TokenUri.h"

#include <algorithm>
#include <iterator>
#include <new>
#include <string_view>

namespace talvo::sim {

namespace {

// The path attributes and query attributes that RFC 7512 and p11-kit define.
constexpr std::string_view kKnownAttributes[] = {"token",
                                                 "manufacturer",
                                                 "serial",
                                                 "model",
                                                 "library-manufacturer",
                                                 "library-description",
                                                 "library-version",
                                                 "object",
                                                 "type",
                                                 "id",
                                                 "slot-description",
                                                 "slot-manufacturer",
                                                 "slot-id",
                                                 "module-name",
                                                 "module-path",
                                                 "pin-source",
                                                 "pin-value"};

// The first attribute of the URI that is none of those; empty when there is none.
std::string unknownAttribute(std::string_view uri)
{
    uri.remove_prefix(std::min(uri.size(), std::string_view("pkcs11:").size()));
    while (!uri.empty()) {
        const std::size_t end = uri.find_first_of(";?&");
        const std::string_view attribute = uri.substr(0, end);
        const std::string_view name = attribute.substr(0, attribute.find('='));
        if (!name.empty() && std::find(std::begin(kKnownAttributes), std::end(kKnownAttributes), name) ==
                                 std::end(kKnownAttributes))
            return std::string(name);
        if (end == std::string_view::npos)
            break;
        uri.remove_prefix(end + 1);
    }
    return {};
}

} // namespace

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
    if (p11_kit_uri_any_unrecognized(uri.get())) {
        const std::string name = unknownAttribute(reference.uri);
        return failed("the token URI " + reference.uri + " has an attribute that PKCS#11 URIs do not know" +
                      (name.empty() ? std::string() : " (\"" + name + "\")"));
    }
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
