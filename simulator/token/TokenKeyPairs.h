#pragma once

#include "TokenContainerKey.h"
#include "TokenObjects.h"

#include <memory>
#include <optional>

namespace talvo::sim {

// The names of a container's objects on the token: its two pairs and its certificate share
// one generation.
std::string_view pairName(KeyPair pair);
inline constexpr std::string_view kCertificateName = "certificate";

// True when the token offers what a Talvo key needs: RSA 2048 key generation and CKM_RSA_PKCS
// signing and decryption; else the reason names what it lacks.
bool offersTalvoMechanisms(TokenSession& session, std::string* reason);

// Generates one RSA 2048 pair on the token, its private key sensitive and not extractable.
bool generatePair(TokenObjects& objects, KeyPair pair, std::uint64_t generation);

// The newest generation whose two pairs and certificate are all there, if any.
std::optional<std::uint64_t> newestContainer(const TokenObjects& objects);

// The pair of that generation, with its public half read from the token.
std::unique_ptr<TokenContainerKey> tokenKey(TokenObjects& objects, KeyPair pair, std::uint64_t generation);

bool createCertificate(TokenObjects& objects, std::uint64_t generation, const std::string& der);

} // namespace talvo::sim
