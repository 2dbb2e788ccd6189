#pragma once

#include "KeyState.h"

#include "simulator/common/ContainerKey.h"

#include <filesystem>
#include <memory>
#include <string>

namespace talvo::sim {

// Where a simulated key keeps what it holds: files in its state directory (KeyStore), or a
// PKCS#11 token that the directory names (TokenKeyStore). Callers hold the directory's lock
// around every use.
class KeyBackend {
public:
    enum class LoadResult { Loaded, NoKey, Damaged };

    virtual ~KeyBackend() = default;

    // Loaded only when the record is whole and every seal's picture is there at the size the
    // record gives; anything else is Damaged and left as it is.
    virtual LoadResult load(KeyState& state, std::string* error) const = 0;
    virtual bool save(const KeyState& state, std::string* error) const = 0;

    // Fails, as damage, when the picture is not the size that the seal's record says.
    virtual bool readPicture(const KeyState& state, int32_t sealNumber, std::string& bytes,
                             std::string* error) const = 0;
    virtual bool writePicture(int32_t sealNumber, const std::string& bytes, std::string* error) const = 0;
    virtual void removePicture(int32_t sealNumber) const = 0;

    // The DER bytes, refused when they do not parse as an X.509 certificate.
    virtual bool readCertificate(std::string& der, std::string* error) const = 0;
    virtual std::unique_ptr<ContainerKey> containerKey(KeyPair pair, std::string* error) const = 0;

    // What the driver answers for the last failure: 2, or for a token 1 when it has gone and
    // 6 when it has no room.
    virtual int32_t failureStatus() const { return 2; }
};

// The token's store when the directory names a token, else the files'.
std::unique_ptr<KeyBackend> openKeyBackend(const std::filesystem::path& directory);

} // namespace talvo::sim
