// A stand-in driver for the binding itself. It serves the faults in what a library exports,
// which the recording driver (a key in memory) cannot: built twice, whole (all 52 names, with
// the answers a binding must survive: a serial number without terminator, no CSP name) and
// partial (names missing, as a driver may lack them). Every function answers one status the
// test sets and counts its calls; the main window's tests use the partial build for a serial
// read that fails or fills its whole buffer.
#include "device/TalvoDriverExports.h"

#include <cstring>

// The test's controls, beside the driver's names.
TALVO_DRIVER_EXPORT void FakeSetStatus(int32_t status);
TALVO_DRIVER_EXPORT int32_t FakeLastSelector();
TALVO_DRIVER_EXPORT int FakeCalls();

namespace {
int32_t g_status = 0;
int32_t g_lastSelector = -1;
int g_calls = 0;
} // namespace

TALVO_DRIVER_EXPORT void FakeSetStatus(int32_t status)
{
    g_status = status;
}
TALVO_DRIVER_EXPORT int32_t FakeLastSelector()
{
    return g_lastSelector;
}
TALVO_DRIVER_EXPORT int FakeCalls()
{
    return g_calls;
}

TALVO_DRIVER_EXPORT int32_t TLKeyIsExist(int32_t selector)
{
    ++g_calls;
    g_lastSelector = selector;
    return g_status;
}

// Fills the whole buffer and leaves no terminator: the caller must cut at its size.
TALVO_DRIVER_EXPORT int32_t TLKeyReadSerial(char* serial, int32_t selector)
{
    ++g_calls;
    g_lastSelector = selector;
    if (g_status == 0)
        std::memset(serial, 'S', TL_SERIAL_BUFFER_SIZE);
    return g_status;
}

TALVO_DRIVER_EXPORT int32_t TLKeyInit(int32_t, const char*, const char*)
{
    ++g_calls;
    return g_status;
}
TALVO_DRIVER_EXPORT int32_t TLKeyVerifyUserPin(const char*)
{
    ++g_calls;
    return g_status;
}
TALVO_DRIVER_EXPORT int32_t TLKeyLowFormat(void)
{
    ++g_calls;
    return g_status;
}
TALVO_DRIVER_EXPORT int32_t TLKeyCalcHash(const char*, int32_t, char*)
{
    ++g_calls;
    return g_status;
}
TALVO_DRIVER_EXPORT int32_t TLKeyReadHash(char*, int32_t selector)
{
    ++g_calls;
    g_lastSelector = selector;
    return g_status;
}
TALVO_DRIVER_EXPORT int32_t TLKeyWriteHash(const char*, int32_t selector)
{
    ++g_calls;
    g_lastSelector = selector;
    return g_status;
}
TALVO_DRIVER_EXPORT int32_t TLKeyCheckHash(const char*, int32_t, uint8_t*)
{
    ++g_calls;
    return g_status;
}
TALVO_DRIVER_EXPORT int32_t TLKeyGetStatus(uint32_t*)
{
    ++g_calls;
    return g_status;
}
TALVO_DRIVER_EXPORT int32_t TLKeyReadKeyInfo(KeyInfo*)
{
    ++g_calls;
    return g_status;
}
TALVO_DRIVER_EXPORT int32_t TLKeyWriteSealTime(int32_t, const char*)
{
    ++g_calls;
    return g_status;
}
TALVO_DRIVER_EXPORT int32_t TLKeyReadSealNum(int32_t*)
{
    ++g_calls;
    return g_status;
}
TALVO_DRIVER_EXPORT int32_t TLKeyReadSealData(int32_t, uint8_t*, uint32_t*)
{
    ++g_calls;
    return g_status;
}
TALVO_DRIVER_EXPORT int32_t TLKeyWriteSealData(const char*, const char*, const uint8_t*, uint32_t)
{
    ++g_calls;
    return g_status;
}
TALVO_DRIVER_EXPORT int32_t TLKeyDelSealData(int32_t)
{
    ++g_calls;
    return g_status;
}
TALVO_DRIVER_EXPORT int32_t TLKeyReadCert(uint8_t*, uint32_t*)
{
    ++g_calls;
    return g_status;
}
TALVO_DRIVER_EXPORT int32_t TLKeyGetSignature(const char*, int32_t, uint8_t*, uint32_t*)
{
    ++g_calls;
    return g_status;
}
TALVO_DRIVER_EXPORT uint8_t TLRegCerts(void)
{
    ++g_calls;
    return 1;
}
TALVO_DRIVER_EXPORT uint8_t TLRemoveAllCertsFromIE(void)
{
    ++g_calls;
    return 1;
}

TALVO_DRIVER_EXPORT int32_t TLKeyWriteKeyBaseInfo(KeyBaseInfo)
{
    ++g_calls;
    return g_status;
}

#ifndef FAKE_PARTIAL
TALVO_DRIVER_EXPORT int32_t TLShowDlg(void)
{
    ++g_calls;
    return 0;
}
TALVO_DRIVER_EXPORT int32_t TLKeyGetPublicKey(uint8_t*, uint32_t*)
{
    ++g_calls;
    return g_status;
}
TALVO_DRIVER_EXPORT int32_t TLVerifySign(const char*, int32_t, const uint8_t*, uint32_t, const uint8_t*,
                                         uint32_t, uint8_t*)
{
    ++g_calls;
    return g_status;
}
TALVO_DRIVER_EXPORT int32_t TLGetCertsNumFromIE(void)
{
    ++g_calls;
    return 7;
}
// A driver that has the function but no name to give.
TALVO_DRIVER_EXPORT const char* TLKeyReadCspName(void)
{
    ++g_calls;
    return nullptr;
}
#define FAKE_BOUND_ONLY(name, position)                                                                      \
    int32_t name(void)                                                                                       \
    {                                                                                                        \
        return 0;                                                                                            \
    }
TALVO_DRIVER_FUNCTIONS(TALVO_DRIVER_SKIP, FAKE_BOUND_ONLY)
#undef FAKE_BOUND_ONLY
#endif
