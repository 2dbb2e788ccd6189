#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include <openssl/evp.h>

namespace talvo::sim {

struct EvpPkeyDeleter {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
using EvpPkeyPtr = std::unique_ptr<EVP_PKEY, EvpPkeyDeleter>;

// The default key container of the simulated key: a 2048-bit RSA signature pair and a
// 2048-bit RSA key-exchange pair, each a PKCS#8 PEM file named by its purpose, and the
// container's name in a text file.
struct ContainerFiles {
    std::filesystem::path signatureKey;
    std::filesystem::path exchangeKey;
    std::filesystem::path name;
};

ContainerFiles containerFiles(const std::filesystem::path& dir);

// Generates both pairs and writes them atomically; an existing container is replaced.
bool createContainer(const std::filesystem::path& dir, const std::string& containerName, std::string* error);

EvpPkeyPtr loadPrivateKey(const std::filesystem::path& pemFile, std::string* error);

bool readContainerName(const std::filesystem::path& dir, std::string& name, std::string* error);

} // namespace talvo::sim
