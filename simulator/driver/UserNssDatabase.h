#pragma once

#include <filesystem>
#include <memory>
#include <string>

struct NSSInitContextStr;
struct PK11SlotInfoStr;

namespace talvo::sim {

// The user's shared NSS database, where Linux applications look for the user's certificates,
// opened for one driver call. It goes through a context of its own, so that a host program
// that uses NSS itself keeps its own initialisation; the context ends with the object.
class UserNssDatabase {
public:
    enum class Access {
        Read,   // certificates only
        Write,  // certificates only
        Modules // as Write, with the module list loaded, to add or delete a module
    };
    // Whether a missing database is created, empty, or left missing.
    enum class Creation { IfMissing, Never };
    enum class Opened { Opened, Missing, Failed };

    UserNssDatabase() = default;
    ~UserNssDatabase();
    UserNssDatabase(const UserNssDatabase&) = delete;
    UserNssDatabase& operator=(const UserNssDatabase&) = delete;

    // NSS's place for it: $HOME/.pki/nssdb, the password database's home when HOME is unset.
    static std::filesystem::path directory(std::string* error);

    Opened open(Access access, Creation creation, std::string* error);

    // The certificate objects of the database (not of any token) whose DER is this.
    int count(const std::string& der, std::string* error) const;
    // Leaves one certificate of this DER under the nickname.
    bool importCertificate(const std::string& der, const std::string& nickname, std::string* error) const;
    bool removeCertificate(const std::string& der, std::string* error) const;

    // A PKCS#11 module entry under the name, unless a module of the library is there already.
    bool addModule(const std::string& name, const std::string& library, std::string* error) const;
    // Only the entry of this name; true when there is none.
    bool removeModule(const std::string& name, std::string* error) const;

private:
    NSSInitContextStr* m_context = nullptr;
    PK11SlotInfoStr* m_slot = nullptr;
};

// The text of NSS's last error, with its name.
std::string nssErrorText();

} // namespace talvo::sim
