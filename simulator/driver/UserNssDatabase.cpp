#include "UserNssDatabase.h"

#include <cert.h>
#include <nss.h>
#include <pk11pub.h>
#include <prerror.h>
#include <secerr.h>
#include <secmod.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace talvo::sim {

namespace {

// The name under which this driver's context shows the database's token; at most 32 bytes.
constexpr const char* kTokenName = "Talvo desktop certificates";

struct CertificateDeleter {
    void operator()(CERTCertificate* certificate) const { CERT_DestroyCertificate(certificate); }
};
using CertificatePtr = std::unique_ptr<CERTCertificate, CertificateDeleter>;

bool refuse(std::string* error, const std::string& message)
{
    if (error)
        *error = message;
    return false;
}

bool nssRefuse(std::string* error, const std::string& what)
{
    return refuse(error, what + ": " + nssErrorText());
}

// The database's directory and its parent, private as certutil and the browsers make them.
bool makeDirectory(const std::filesystem::path& directory, std::string* error)
{
    const std::filesystem::path parent = directory.parent_path();
    for (const std::filesystem::path& step : {parent, directory}) {
        if (::mkdir(step.c_str(), 0700) != 0 && errno != EEXIST)
            return refuse(error, "cannot create " + step.string() + ": " + std::strerror(errno));
    }
    return true;
}

CertificatePtr temporaryCertificate(const std::string& der, std::string* error)
{
    SECItem item{siDERCertBuffer, reinterpret_cast<unsigned char*>(const_cast<char*>(der.data())),
                 static_cast<unsigned>(der.size())};
    CertificatePtr certificate(
        CERT_NewTempCertificate(CERT_GetDefaultCertDB(), &item, nullptr, PR_FALSE, PR_TRUE));
    if (!certificate)
        nssRefuse(error, "NSS does not take the key's certificate");
    return certificate;
}

} // namespace

std::string nssErrorText()
{
    const PRErrorCode code = PR_GetError();
    const char* name = PR_ErrorToName(code);
    const char* text = PR_ErrorToString(code, PR_LANGUAGE_I_DEFAULT);
    std::string message = text && *text ? text : "unknown NSS error";
    message += " (";
    message += name ? name : std::to_string(code);
    message += ")";
    return message;
}

UserNssDatabase::~UserNssDatabase()
{
    if (m_slot)
        PK11_FreeSlot(m_slot);
    if (m_context)
        NSS_ShutdownContext(m_context);
}

std::filesystem::path UserNssDatabase::directory(std::string* error)
{
    std::string home;
    if (const char* variable = std::getenv("HOME"))
        home = variable;
    else if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
        home = entry->pw_dir;
    if (home.empty() || home.front() != '/') {
        refuse(error, "no home directory (HOME is \"" + home + "\") for the NSS database");
        return {};
    }
    return std::filesystem::path(home) / ".pki" / "nssdb";
}

UserNssDatabase::Opened UserNssDatabase::open(Access access, Creation creation, std::string* error)
{
    const std::filesystem::path place = directory(error);
    if (place.empty())
        return Opened::Failed;
    // NSS keeps one module list a process, the first opener's: a host's own would get the entry.
    if (access == Access::Modules && NSS_IsInitialized()) {
        refuse(error, "this program runs NSS with a module list of its own; a token's module is registered "
                      "only from a program that does not, such as talvo-tool");
        return Opened::Failed;
    }
    std::error_code ec;
    const bool exists = std::filesystem::exists(place / "cert9.db", ec);
    if (!exists && (access == Access::Read || creation == Creation::Never)) {
        refuse(error, "no NSS database in " + place.string());
        return Opened::Missing;
    }
    if (!exists && !makeDirectory(place, error))
        return Opened::Failed;

    PRUint32 flags = NSS_INIT_NOROOTINIT | NSS_INIT_OPTIMIZESPACE;
    if (access == Access::Read)
        flags |= NSS_INIT_READONLY;
    if (access != Access::Modules)
        flags |= NSS_INIT_NOMODDB;
    const std::string configuration = "sql:" + place.string();
    // A host that runs NSS already keeps its own internal slot: ours is found by its token's name.
    NSSInitParameters parameters{};
    parameters.length = sizeof parameters;
    parameters.dbTokenDescription = const_cast<char*>(kTokenName);
    m_context = NSS_InitContext(configuration.c_str(), "", "", SECMOD_DB, &parameters, flags);
    if (!m_context) {
        nssRefuse(error, "cannot open the NSS database " + configuration);
        return Opened::Failed;
    }
    m_slot = PK11_FindSlotByName(kTokenName);
    if (!m_slot) {
        nssRefuse(error, "the NSS database " + configuration + " has no key slot");
        return Opened::Failed;
    }
    // A new database gets the empty password, as certutil -N --empty-password gives it.
    if (access != Access::Read && PK11_NeedUserInit(m_slot) &&
        PK11_InitPin(m_slot, nullptr, "") != SECSuccess) {
        nssRefuse(error, "cannot set up the new NSS database " + configuration);
        return Opened::Failed;
    }
    return Opened::Opened;
}

int UserNssDatabase::count(const std::string& der, std::string* error) const
{
    const CertificatePtr certificate = temporaryCertificate(der, error);
    if (!certificate)
        return 0;
    return PK11_FindCertInSlot(m_slot, certificate.get(), nullptr) == CK_INVALID_HANDLE ? 0 : 1;
}

bool UserNssDatabase::importCertificate(const std::string& der, const std::string& nickname,
                                        std::string* error) const
{
    const CertificatePtr certificate = temporaryCertificate(der, error);
    if (!certificate)
        return false;
    if (PK11_FindCertInSlot(m_slot, certificate.get(), nullptr) != CK_INVALID_HANDLE)
        return true;
    if (PK11_ImportCert(m_slot, certificate.get(), CK_INVALID_HANDLE, nickname.c_str(), PR_FALSE) !=
        SECSuccess)
        return nssRefuse(error, "cannot add the certificate \"" + nickname + "\" to the NSS database");
    return true;
}

bool UserNssDatabase::removeCertificate(const std::string& der, std::string* error) const
{
    const CertificatePtr certificate = temporaryCertificate(der, error);
    if (!certificate)
        return false;
    // Only the database's own object: the same certificate on a token stays there.
    const CK_OBJECT_HANDLE object = PK11_FindCertInSlot(m_slot, certificate.get(), nullptr);
    if (object == CK_INVALID_HANDLE)
        return true;
    if (PK11_DestroyTokenObject(m_slot, object) != SECSuccess)
        return nssRefuse(error, "cannot remove the key's certificate from the NSS database");
    return true;
}

bool UserNssDatabase::addModule(const std::string& name, const std::string& library, std::string* error) const
{
    bool present = false;
    SECMODListLock* lock = SECMOD_GetDefaultModuleListLock();
    SECMOD_GetReadLock(lock);
    for (SECMODModuleList* entry = SECMOD_GetDefaultModuleList(); entry && !present; entry = entry->next) {
        const SECMODModule* module = entry->module;
        present = (module->commonName && name == module->commonName) ||
                  (module->dllName && library == module->dllName);
    }
    SECMOD_ReleaseReadLock(lock);
    if (present)
        return true;
    if (SECMOD_AddNewModule(name.c_str(), library.c_str(), 0, 0) != SECSuccess)
        return nssRefuse(error, "cannot add the token's module " + library + " to the NSS database");
    return true;
}

bool UserNssDatabase::removeModule(const std::string& name, std::string* error) const
{
    SECMODModule* module = SECMOD_FindModule(name.c_str());
    if (!module)
        return true;
    SECMOD_DestroyModule(module);
    int type = 0;
    if (SECMOD_DeleteModule(name.c_str(), &type) != SECSuccess)
        return nssRefuse(error, "cannot remove the module \"" + name + "\" from the NSS database");
    return true;
}

} // namespace talvo::sim
