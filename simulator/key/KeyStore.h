#pragma once

#include "FileLock.h"
#include "KeyBackend.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace talvo::sim {

// The files of one simulated key in its state directory. Callers hold the directory's
// FileLock (taken with lock()) around every use; the store itself only reads and writes.
class KeyStore : public KeyBackend {
public:
    explicit KeyStore(std::filesystem::path directory);

    const std::filesystem::path& directory() const { return m_directory; }
    std::filesystem::path stateFile() const;
    std::filesystem::path lockFile() const;
    std::filesystem::path certificateFile() const;
    std::filesystem::path pictureFile(int32_t sealNumber) const;

    // Takes the directory's lock once the directory is known to be writable by its owner
    // alone. NoDirectory when there is none; Failed, with the reason, for a damaged key.
    FileLock::Result lock(FileLock& lock, FileLock::Mode mode, std::string* error) const;

    // True when something, whole or not, stands at the state file's name.
    bool hasState() const;

    // Loaded only when the state file parses and every seal's picture file is there at the
    // size the state records; anything else is Damaged and left untouched on disk.
    LoadResult load(KeyState& state, std::string* error) const override;
    // Also removes what killed writers left behind: temporary files, and pictures of seals
    // that the saved state does not hold. Needs the exclusive lock.
    bool save(const KeyState& state, std::string* error) const override;

    bool readPicture(const KeyState& state, int32_t sealNumber, std::string& bytes,
                     std::string* error) const override;
    bool writePicture(int32_t sealNumber, const std::string& bytes, std::string* error) const override;
    void removePicture(int32_t sealNumber) const override;

    bool readCertificate(std::string& der, std::string* error) const override;
    // The pair's PEM file.
    std::unique_ptr<ContainerKey> containerKey(KeyPair pair, std::string* error) const override;

private:
    void removeLeftovers(const KeyState& state) const;

    std::filesystem::path m_directory;
};

} // namespace talvo::sim
