// The desktop's certificate store: the user's shared NSS database, where browsers and mail
// programs find the key's certificate and, for a key on a token, its private key through the
// token's module.
#include "DriverGuard.h"
#include "KeyCall.h"
#include "UserNssDatabase.h"
#include "device/TalvoDriverExports.h"
#include "simulator/common/SimDirectory.h"
#include "simulator/key/Cp936Text.h"
#include "simulator/token/TokenSession.h"

#include <optional>

using talvo::sim::driverMessage;
using talvo::sim::guarded;
using talvo::sim::KeyCall;
using talvo::sim::UserNssDatabase;

namespace {

using Access = UserNssDatabase::Access;
using Creation = UserNssDatabase::Creation;
using Opened = UserNssDatabase::Opened;

// What the store needs of the key, read under the key's lock and kept after it is let go,
// so that a slow or locked database never holds the key.
struct RegisteredKey {
    std::string name; // the certificate's nickname, and the token module's entry
    std::string der;
    std::optional<talvo::sim::TokenReference> token;
};

// 0 with the key's facts, else what the call answers: the injected status (and injected
// set), or that of an absent or damaged key or of one without a certificate, each said on
// standard error.
int32_t readKey(const char* function, RegisteredKey& key, bool& injected)
{
    KeyCall call(function, KeyCall::Access::Read);
    injected = call.outcome() == KeyCall::Outcome::Injected;
    if (call.status() != TL_OK) {
        if (call.outcome() == KeyCall::Outcome::NoKey)
            driverMessage(function, "no key is present");
        return call.status();
    }
    std::string error;
    if (!call.store().readCertificate(key.der, &error))
        return call.damaged(error);
    key.name = "Talvo " + talvo::sim::cp936ToUtf8(call.state().serial);
    talvo::sim::TokenReference reference;
    switch (talvo::sim::readTokenReference(talvo::sim::stateDirectory(), reference, &error)) {
    case talvo::sim::ReferenceRead::Read:
        key.token = reference;
        break;
    case talvo::sim::ReferenceRead::Missing:
        break;
    case talvo::sim::ReferenceRead::Refused:
        return call.damaged(error);
    }
    return TL_OK;
}

bool registerKey(const char* function, const RegisteredKey& key)
{
    std::string error;
    std::string module;
    if (key.token) {
        module = talvo::sim::tokenModuleFile(*key.token, &error);
        if (module.empty()) {
            driverMessage(function, error);
            return false;
        }
    }
    UserNssDatabase database;
    if (database.open(key.token ? Access::Modules : Access::Write, Creation::IfMissing, &error) !=
            Opened::Opened ||
        !database.importCertificate(key.der, key.name, &error)) {
        driverMessage(function, error);
        return false;
    }
    if (key.token && !database.addModule(key.name, module, &error)) {
        driverMessage(function, error);
        std::string ignored;
        database.removeCertificate(key.der, &ignored);
        return false;
    }
    return true;
}

bool removeKey(const char* function, const RegisteredKey& key)
{
    std::string error;
    UserNssDatabase database;
    switch (database.open(key.token ? Access::Modules : Access::Write, Creation::Never, &error)) {
    case Opened::Missing:
        driverMessage(function, error + ": nothing to remove");
        return true;
    case Opened::Failed:
        driverMessage(function, error);
        return false;
    case Opened::Opened:
        break;
    }
    if (!database.removeCertificate(key.der, &error) ||
        (key.token && !database.removeModule(key.name, &error))) {
        driverMessage(function, error);
        return false;
    }
    return true;
}

int32_t countKey(const char* function, const RegisteredKey& key)
{
    std::string error;
    UserNssDatabase database;
    if (database.open(Access::Read, Creation::Never, &error) != Opened::Opened) {
        driverMessage(function, error);
        return 0;
    }
    const int count = database.count(key.der, &error);
    if (!error.empty())
        driverMessage(function, error);
    return count;
}

// An injected status of 0 lets the function work; any other answers false.
template <class Change> uint8_t changeStore(const char* name, Change&& change)
{
    const int32_t status = guarded(name, [&change](const char* function) -> int32_t {
        RegisteredKey key;
        bool injected = false;
        if (const int32_t read = readKey(function, key, injected); read != TL_OK)
            return read;
        return change(function, key) ? TL_OK : TL_ERR_ACCESS;
    });
    return status == TL_OK ? 1 : 0;
}

} // namespace

int32_t TLGetCertsNumFromIE(void)
{
    // An injected failure answers its status as the count; an absent or damaged key counts nothing.
    return guarded(__func__, [](const char* function) -> int32_t {
        RegisteredKey key;
        bool injected = false;
        if (const int32_t read = readKey(function, key, injected); read != TL_OK)
            return injected ? read : 0;
        return countKey(function, key);
    });
}

uint8_t TLRegCerts(void)
{
    return changeStore(__func__, registerKey);
}

uint8_t TLRemoveAllCertsFromIE(void)
{
    return changeStore(__func__, removeKey);
}
