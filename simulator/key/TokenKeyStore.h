#pragma once

#include "KeyBackend.h"

#include "simulator/token/TokenObjects.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace talvo::sim {

// A simulated key on the PKCS#11 token that its state directory names: the record and each
// seal's picture are data objects of the application "talvo", the certificate a certificate
// object beside the two key pairs. Every change writes a new generation of an object before
// it destroys the old one, and loading takes the newest whole one, so a token error or a
// crash never leaves the key half changed. The session opens on first use and stays open
// while the store lives.
class TokenKeyStore : public KeyBackend {
public:
    explicit TokenKeyStore(std::filesystem::path directory);
    // On a session that is already open, for a key that the directory does not name yet.
    TokenKeyStore(std::filesystem::path directory, TokenObjects& objects);
    ~TokenKeyStore() override;

    LoadResult load(KeyState& state, std::string* error) const override;
    // Also destroys what older generations and killed writers left behind.
    bool save(const KeyState& state, std::string* error) const override;
    bool readPicture(const KeyState& state, int32_t sealNumber, std::string& bytes,
                     std::string* error) const override;
    bool writePicture(int32_t sealNumber, const std::string& bytes, std::string* error) const override;
    void removePicture(int32_t sealNumber) const override;
    bool readCertificate(std::string& der, std::string* error) const override;
    std::unique_ptr<ContainerKey> containerKey(KeyPair pair, std::string* error) const override;
    int32_t failureStatus() const override;

private:
    enum class Connection { Connected, NoToken, Failed };
    Connection connect(std::string* error) const;
    bool failed(std::string* error) const;
    // The newest of a seal's pictures (newest first) that is whole and of the recorded size;
    // none, and unreadable, when the token failed a read.
    std::optional<CK_OBJECT_HANDLE> wholePicture(const std::vector<TokenObject>& pictures, std::uint32_t size,
                                                 std::string& bytes, bool& unreadable) const;

    std::filesystem::path m_directory;
    mutable std::unique_ptr<TokenSession> m_ownSession;
    mutable std::unique_ptr<TokenObjects> m_ownObjects;
    mutable TokenSession* m_session = nullptr;
    mutable TokenObjects* m_objects = nullptr;
    mutable int32_t m_connectStatus = 2;
};

// The data object's name of a seal's picture: "seal-101".
std::string pictureObjectName(int32_t sealNumber);
inline constexpr std::string_view kRecordName = "record";

} // namespace talvo::sim
