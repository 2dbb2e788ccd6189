// The desktop certificate store, as far as the key's own certificate goes: a count in the
// key's state.
#include "DriverGuard.h"
#include "KeyCall.h"
#include "device/TalvoDriverExports.h"

using talvo::sim::guarded;
using talvo::sim::KeyCall;

namespace {

using Access = KeyCall::Access;

// An injected failure answers its status as the count, and as false from the two changes
// unless the status is 0; an absent or damaged key counts nothing and changes nothing.
int32_t injectedOrNothing(const KeyCall& call)
{
    return call.outcome() == KeyCall::Outcome::Injected ? call.status() : 0;
}

uint8_t setStoreCount(const char* name, int32_t count)
{
    const int32_t status = guarded(name, [count](const char* function) -> int32_t {
        KeyCall call(function, Access::Change);
        if (call.status() != TL_OK)
            return call.outcome() == KeyCall::Outcome::Injected ? call.status() : TL_ERR_NO_DEVICE;
        if (count > 0) {
            std::string der;
            std::string error;
            if (!call.store().readCertificate(der, &error))
                return call.damaged(error);
        }
        call.state().certificateStoreCount = count;
        return call.save();
    });
    return status == TL_OK ? 1 : 0;
}

} // namespace

int32_t TLGetCertsNumFromIE(void)
{
    return guarded(__func__, [](const char* function) -> int32_t {
        KeyCall call(function, Access::Read);
        if (call.status() != TL_OK)
            return injectedOrNothing(call);
        return call.state().certificateStoreCount;
    });
}

uint8_t TLRegCerts(void)
{
    // The key holds one certificate: registering it again leaves one.
    return setStoreCount(__func__, 1);
}

uint8_t TLRemoveAllCertsFromIE(void)
{
    return setStoreCount(__func__, 0);
}
