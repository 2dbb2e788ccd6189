#pragma once

#include "simulator/common/ContainerKey.h"

#include <filesystem>
#include <memory>
#include <string>

namespace talvo::sim {

// The simulated key's container as the provider serves it: its name and its two pairs, from
// the PEM files of the state directory or from the token that the directory names.
class KeyContainer {
public:
    virtual ~KeyContainer() = default;

    virtual const std::string& name() const = 0;
    // Null when the container holds no such pair.
    virtual ContainerKey* key(KeyPair pair) = 0;
};

// Null, with the reason, when the key is unplugged or has no container that opens. Private
// operations of file keys run in the given OpenSSL library context.
std::unique_ptr<KeyContainer> openKeyContainer(const std::filesystem::path& directory, OSSL_LIB_CTX* library,
                                               std::string* error);

} // namespace talvo::sim
