// The key's record: presence, serial number, PIN hash, base information, format and issue.
#include "DriverGuard.h"
#include "KeyCall.h"
#include "device/TalvoDriverExports.h"

#include "simulator/key/FieldText.h"
#include "simulator/key/PinHash.h"

#include <cstdio>
#include <cstring>

using talvo::sim::guarded;
using talvo::sim::KeyCall;

namespace {

using Access = KeyCall::Access;

constexpr const char* kCspName = "MERO Cryptographic Service Provider v1.0.0";
constexpr int32_t kHighestMode = 3;

void fillRecord(const talvo::sim::KeyState& state, KeyInfo& record)
{
    std::memset(&record, 0, sizeof record);
    KeyBaseInfo& base = record.base;
    base.factoryFlag = state.factoryFlag;
    base.formatFlag = state.formatFlag;
    base.initFlag = state.initFlag;
    base.lockFlag = state.lockFlag;
    base.errorTimes = state.errorTimes;
    base.mode = state.mode;
    talvo::sim::writeField(state.pinHash, base.pinHash);
    talvo::sim::writeField(state.unitId, base.unitId);
    talvo::sim::writeField(state.userId, base.userId);
    base.sealNum = state.sealCount();
    base.timeControlFlag = state.timeControlFlag;
    base.keyRole = state.keyRole;
    for (int k = 0; k < talvo::sim::kSealSlots; ++k) {
        SealEntry& entry = record.sealTable[k];
        const talvo::sim::SealRecord& seal = state.seals[static_cast<std::size_t>(k)];
        entry.number = talvo::sim::kFirstSealNumber + k;
        if (!seal.inUse)
            continue;
        entry.inUse = 1;
        talvo::sim::writeField(seal.name, entry.name);
        talvo::sim::writeField(seal.expiryTime, entry.expiryTime);
        talvo::sim::writeField(seal.spareText, entry.spareText);
        talvo::sim::writeField(seal.initTime, entry.initTime);
    }
}

// A text field of a record the caller built, taken within the field whether or not it is
// terminated there, and cut to leave room for the terminator.
template <std::size_t N> std::string fieldText(const char (&field)[N])
{
    return std::string(talvo::sim::cutText(talvo::sim::textInBuffer(field, N), N - 1));
}

bool hashMatches(const talvo::sim::KeyState& state, const char* pin, std::size_t length)
{
    return talvo::sim::pinHash(pin, length) == state.pinHash;
}

} // namespace

int32_t TLShowDlg(void)
{
    return onKey(__func__, Access::Read, [](KeyCall&) -> int32_t {
        std::fprintf(stderr, "libTalvoDriver: TLShowDlg: the simulated key has no dialog of its own\n");
        return TL_OK;
    });
}

int32_t TLKeyIsExist(int32_t selector)
{
    return onKey(__func__, Access::Read, [&](KeyCall&) -> int32_t {
        return talvo::sim::isSelector(selector) ? TL_OK : TL_ERR_PARAMETER;
    });
}

int32_t TLKeyReadSerial(char* serial, int32_t selector)
{
    return onKey(__func__, Access::Read, [&](KeyCall& call) -> int32_t {
        if (!serial || !talvo::sim::isSelector(selector))
            return TL_ERR_PARAMETER;
        talvo::sim::writeField(call.state().serial, serial, TL_SERIAL_BUFFER_SIZE);
        return TL_OK;
    });
}

int32_t TLKeyCalcHash(const char* pin, int32_t pinLength, char* hash)
{
    return onKey(__func__, Access::Read, [&](KeyCall&) -> int32_t {
        if (!pin || !hash || !talvo::sim::isPinLength(pinLength))
            return TL_ERR_PARAMETER;
        talvo::sim::writeField(talvo::sim::pinHash(pin, static_cast<std::size_t>(pinLength)), hash,
                               TL_HASH_BUFFER_SIZE);
        return TL_OK;
    });
}

int32_t TLKeyReadHash(char* hash, int32_t selector)
{
    return onKey(__func__, Access::Read, [&](KeyCall& call) -> int32_t {
        if (!hash || !talvo::sim::isSelector(selector))
            return TL_ERR_PARAMETER;
        talvo::sim::writeField(call.state().pinHash, hash, TL_HASH_BUFFER_SIZE);
        return TL_OK;
    });
}

int32_t TLKeyWriteHash(const char* hash, int32_t selector)
{
    return onKey(__func__, Access::Change, [&](KeyCall& call) -> int32_t {
        if (!hash || !talvo::sim::isSelector(selector))
            return TL_ERR_PARAMETER;
        const std::string_view text = talvo::sim::textInBuffer(hash, TL_HASH_BUFFER_SIZE);
        if (text.size() == TL_HASH_BUFFER_SIZE)
            return TL_ERR_PARAMETER; // not terminated within its buffer
        call.state().pinHash = std::string(text);
        return call.save();
    });
}

int32_t TLKeyCheckHash(const char* pin, int32_t pinLength, uint8_t* matches)
{
    return onKey(__func__, Access::Read, [&](KeyCall& call) -> int32_t {
        if (!pin || !matches || !talvo::sim::isPinLength(pinLength))
            return TL_ERR_PARAMETER;
        *matches = hashMatches(call.state(), pin, static_cast<std::size_t>(pinLength)) ? 1 : 0;
        return TL_OK;
    });
}

int32_t TLKeyVerifyUserPin(const char* pin)
{
    return onKey(__func__, Access::Read, [&](KeyCall& call) -> int32_t {
        if (!pin)
            return TL_ERR_PARAMETER;
        const std::string_view text = talvo::sim::textInBuffer(pin, talvo::sim::kMaxPinLength + 1);
        if (text.size() > talvo::sim::kMaxPinLength)
            return TL_ERR_PARAMETER;
        return hashMatches(call.state(), text.data(), text.size()) ? TL_OK : TL_ERR_API;
    });
}

int32_t TLKeyGetStatus(uint32_t* status)
{
    return onKey(__func__, Access::Read, [&](KeyCall&) -> int32_t {
        if (!status)
            return TL_ERR_PARAMETER;
        *status = 0;
        return TL_OK;
    });
}

int32_t TLKeyReadKeyInfo(KeyInfo* info)
{
    return onKey(__func__, Access::Read, [&](KeyCall& call) -> int32_t {
        if (!info)
            return TL_ERR_PARAMETER;
        KeyInfo record;
        fillRecord(call.state(), record);
        std::memcpy(info, &record, sizeof record);
        return TL_OK;
    });
}

int32_t TLKeyWriteKeyBaseInfo(KeyBaseInfo info)
{
    return onKey(__func__, Access::Change, [&](KeyCall& call) -> int32_t {
        // sealNum, timeControlFlag and keyRole are the key's own and stay as they are.
        talvo::sim::KeyState& state = call.state();
        state.factoryFlag = info.factoryFlag;
        state.formatFlag = info.formatFlag;
        state.initFlag = info.initFlag;
        state.lockFlag = info.lockFlag;
        state.errorTimes = info.errorTimes;
        state.mode = info.mode;
        state.pinHash = fieldText(info.pinHash);
        state.unitId = fieldText(info.unitId);
        state.userId = fieldText(info.userId);
        return call.save();
    });
}

int32_t TLKeyReadSealNum(int32_t* count)
{
    return onKey(__func__, Access::Read, [&](KeyCall& call) -> int32_t {
        if (!count)
            return TL_ERR_PARAMETER;
        *count = call.state().sealCount();
        return TL_OK;
    });
}

int32_t TLKeyLowFormat(void)
{
    return onKey(__func__, Access::Change, [](KeyCall& call) -> int32_t {
        talvo::sim::KeyState& state = call.state();
        state.factoryFlag = 0;
        state.formatFlag = 1;
        state.initFlag = 0;
        state.lockFlag = 0;
        state.timeControlFlag = 0;
        state.errorTimes = 0;
        state.mode = 0;
        state.unitId.clear();
        state.userId.clear();
        state.pinHash = talvo::sim::pinHash(talvo::sim::kFactoryPin, std::strlen(talvo::sim::kFactoryPin));
        state.seals = {};
        const int32_t saved = call.save();
        // The record goes first: a picture left behind by a crash is only an unused file.
        if (saved == TL_OK) {
            for (int32_t number = talvo::sim::kFirstSealNumber; number <= talvo::sim::kLastSealNumber;
                 ++number)
                call.store().removePicture(number);
        }
        return saved;
    });
}

int32_t TLKeyInit(int32_t value, const char* text1, const char* text2)
{
    return onKey(__func__, Access::Change, [&](KeyCall& call) -> int32_t {
        if (!text1 || !text2 || value < 0 || value > kHighestMode)
            return TL_ERR_PARAMETER;
        talvo::sim::KeyState& state = call.state();
        state.mode = value;
        state.unitId = std::string(
            talvo::sim::cutText(talvo::sim::textInBuffer(text1, TL_UNIT_ID_SIZE), talvo::sim::kUnitIdMax));
        state.userId = std::string(
            talvo::sim::cutText(talvo::sim::textInBuffer(text2, TL_USER_ID_SIZE), talvo::sim::kUserIdMax));
        state.initFlag = 1;
        return call.save();
    });
}

const char* TLKeyReadCspName(void)
{
    // The text always belongs to the driver; a key that is absent, damaged or told to fail
    // names no provider, so it gets an empty one rather than no text at all.
    static const char kNoName[] = "";
    const int32_t status = guarded(
        __func__, [](const char* function) -> int32_t { return KeyCall(function, Access::Read).status(); });
    return status == TL_OK ? kCspName : kNoName;
}
