#pragma once

#include <filesystem>
#include <string>

namespace talvo::sim {

// What the state directory of a token-backed key holds instead of the key: the PKCS#11 URI of
// its token and where the token's PIN file is. No key material and no PIN.
struct TokenReference {
    std::string uri;
    // Absolute; empty for a token that takes its PIN on its own PIN pad.
    std::filesystem::path pinFile;

    bool operator==(const TokenReference&) const = default;
};

std::filesystem::path tokenReferenceFile(const std::filesystem::path& directory);
bool hasTokenReference(const std::filesystem::path& directory);

// Missing when the directory names no token; Refused, with the reason, for a damaged file.
enum class ReferenceRead { Read, Missing, Refused };
ReferenceRead readTokenReference(const std::filesystem::path& directory, TokenReference& reference,
                                 std::string* error);
bool writeTokenReference(const std::filesystem::path& directory, const TokenReference& reference,
                         std::string* error);

} // namespace talvo::sim
