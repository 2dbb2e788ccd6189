// A stand-in driver for the binding itself. It serves the faults in what a library exports,
// which the recording driver (a key in memory) cannot: built twice, whole (all 52 names, with
// the answers a binding must survive: a serial number without terminator, no CSP name) and
// partial (names missing, as a driver may lack them). Every function answers one status the
// test sets and counts its calls; the main window's tests use the partial build for a serial
// read that fails or fills its whole buffer.
#include "device/TalvoDriverApi.h"

#include <cstring>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
int32_t g_status = 0;
int32_t g_lastSelector = -1;
int g_calls = 0;
} // namespace

FAKE_EXPORT void FakeSetStatus(int32_t status)
{
    g_status = status;
}
FAKE_EXPORT int32_t FakeLastSelector()
{
    return g_lastSelector;
}
FAKE_EXPORT int FakeCalls()
{
    return g_calls;
}

FAKE_EXPORT int32_t TLKeyIsExist(int32_t selector)
{
    ++g_calls;
    g_lastSelector = selector;
    return g_status;
}

// Fills the whole buffer and leaves no terminator: the caller must cut at its size.
FAKE_EXPORT int32_t TLKeyReadSerial(char* serial, int32_t selector)
{
    ++g_calls;
    g_lastSelector = selector;
    if (g_status == 0)
        std::memset(serial, 'S', TL_SERIAL_BUFFER_SIZE);
    return g_status;
}

FAKE_EXPORT int32_t TLKeyInit(int32_t, const char*, const char*)
{
    ++g_calls;
    return g_status;
}
FAKE_EXPORT int32_t TLKeyVerifyUserPin(const char*)
{
    ++g_calls;
    return g_status;
}
FAKE_EXPORT int32_t TLKeyLowFormat(void)
{
    ++g_calls;
    return g_status;
}
FAKE_EXPORT int32_t TLKeyCalcHash(const char*, int32_t, char*)
{
    ++g_calls;
    return g_status;
}
FAKE_EXPORT int32_t TLKeyReadHash(char*, int32_t selector)
{
    ++g_calls;
    g_lastSelector = selector;
    return g_status;
}
FAKE_EXPORT int32_t TLKeyWriteHash(const char*, int32_t selector)
{
    ++g_calls;
    g_lastSelector = selector;
    return g_status;
}
FAKE_EXPORT int32_t TLKeyCheckHash(const char*, int32_t, uint8_t*)
{
    ++g_calls;
    return g_status;
}
FAKE_EXPORT int32_t TLKeyGetStatus(uint32_t*)
{
    ++g_calls;
    return g_status;
}
FAKE_EXPORT int32_t TLKeyReadKeyInfo(KeyInfo*)
{
    ++g_calls;
    return g_status;
}
FAKE_EXPORT int32_t TLKeyWriteSealTime(int32_t, const char*)
{
    ++g_calls;
    return g_status;
}
FAKE_EXPORT int32_t TLKeyReadSealNum(int32_t*)
{
    ++g_calls;
    return g_status;
}
FAKE_EXPORT int32_t TLKeyReadSealData(int32_t, uint8_t*, uint32_t*)
{
    ++g_calls;
    return g_status;
}
FAKE_EXPORT int32_t TLKeyWriteSealData(const char*, const char*, const uint8_t*, uint32_t)
{
    ++g_calls;
    return g_status;
}
FAKE_EXPORT int32_t TLKeyDelSealData(int32_t)
{
    ++g_calls;
    return g_status;
}
FAKE_EXPORT int32_t TLKeyReadCert(uint8_t*, uint32_t*)
{
    ++g_calls;
    return g_status;
}
FAKE_EXPORT int32_t TLKeyGetSignature(const char*, int32_t, uint8_t*, uint32_t*)
{
    ++g_calls;
    return g_status;
}
FAKE_EXPORT uint8_t TLRegCerts(void)
{
    ++g_calls;
    return 1;
}
FAKE_EXPORT uint8_t TLRemoveAllCertsFromIE(void)
{
    ++g_calls;
    return 1;
}

FAKE_EXPORT int32_t TLKeyWriteKeyBaseInfo(KeyBaseInfo)
{
    ++g_calls;
    return g_status;
}

#ifndef FAKE_PARTIAL
FAKE_EXPORT int32_t TLShowDlg(void)
{
    ++g_calls;
    return 0;
}
FAKE_EXPORT int32_t TLKeyGetPublicKey(uint8_t*, uint32_t*)
{
    ++g_calls;
    return g_status;
}
FAKE_EXPORT int32_t TLVerifySign(const char*, int32_t, const uint8_t*, uint32_t, const uint8_t*, uint32_t,
                                 uint8_t*)
{
    ++g_calls;
    return g_status;
}
FAKE_EXPORT int32_t TLGetCertsNumFromIE(void)
{
    ++g_calls;
    return 7;
}
// A driver that has the function but no name to give.
FAKE_EXPORT const char* TLKeyReadCspName(void)
{
    ++g_calls;
    return nullptr;
}
FAKE_EXPORT int32_t TLKeyReadBioFlag(void)
{
    return 0;
}
FAKE_EXPORT int32_t TLKeyWriteBioFlag(void)
{
    return 0;
}
FAKE_EXPORT int32_t TLKeyReadFormatFlag(void)
{
    return 0;
}
FAKE_EXPORT int32_t TLKeyWriteFormatFlag(void)
{
    return 0;
}
FAKE_EXPORT int32_t TLKeyReadInitFlag(void)
{
    return 0;
}
FAKE_EXPORT int32_t TLKeyWriteInitFlag(void)
{
    return 0;
}
FAKE_EXPORT int32_t TLKeyReadLockFlag(void)
{
    return 0;
}
FAKE_EXPORT int32_t TLKeyWriteLockFlag(void)
{
    return 0;
}
FAKE_EXPORT int32_t TLKeyReadErrorTimes(void)
{
    return 0;
}
FAKE_EXPORT int32_t TLKeyWriteErrorTimes(void)
{
    return 0;
}
FAKE_EXPORT int32_t TLKeyReadUnitId(void)
{
    return 0;
}
FAKE_EXPORT int32_t TLKeyWriteUnitId(void)
{
    return 0;
}
FAKE_EXPORT int32_t TLKeyReadUserId(void)
{
    return 0;
}
FAKE_EXPORT int32_t TLKeyWriteUserId(void)
{
    return 0;
}
FAKE_EXPORT int32_t TLKeyReadMode(void)
{
    return 0;
}
FAKE_EXPORT int32_t TLKeyWriteMode(void)
{
    return 0;
}
FAKE_EXPORT int32_t TLKeyWriteKeyInfo(void)
{
    return 0;
}
FAKE_EXPORT int32_t TLKeyReadKeyBaseInfo(void)
{
    return 0;
}
FAKE_EXPORT int32_t TLKeyReadSealTime(void)
{
    return 0;
}
FAKE_EXPORT int32_t TLReadStartTime(void)
{
    return 0;
}
FAKE_EXPORT int32_t TLKeyWriteStartTime(void)
{
    return 0;
}
FAKE_EXPORT int32_t TLReadLastTime(void)
{
    return 0;
}
FAKE_EXPORT int32_t TLKeyWriteLastTime(void)
{
    return 0;
}
FAKE_EXPORT int32_t TLSetStartAndLastTime(void)
{
    return 0;
}
FAKE_EXPORT int32_t TLVerifySealTime(void)
{
    return 0;
}
FAKE_EXPORT int32_t DeviceInitEx(void)
{
    return 0;
}
#endif
