// The seal table and the seal pictures.
#include "DriverGuard.h"
#include "KeyCall.h"
#include "device/TalvoDriverExports.h"

#include "simulator/key/FieldText.h"

#include <ctime>

using talvo::sim::guarded;
using talvo::sim::KeyCall;

namespace {

using Access = KeyCall::Access;

// "YYYY-MM-DD" of today in local time: the day a seal is put on the key.
std::string today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[16] = {};
    if (!localtime_r(&now, &local) || std::strftime(text, sizeof text, "%Y-%m-%d", &local) == 0)
        return {};
    return text;
}

std::string boundedText(const char* text, std::size_t bufferSize)
{
    return std::string(talvo::sim::cutText(talvo::sim::textInBuffer(text, bufferSize), bufferSize - 1));
}

bool holdsSeal(const talvo::sim::KeyState& state, int32_t number)
{
    return talvo::sim::isSealNumber(number) && state.seal(number).inUse;
}

} // namespace

int32_t TLKeyWriteSealData(const char* name, const char* expiry, const uint8_t* data, uint32_t length)
{
    return onKey(__func__, Access::Change, [&](KeyCall& call) -> int32_t {
        if (!name || !expiry || !data || length == 0)
            return TL_ERR_PARAMETER;
        if (length > talvo::sim::kMaxPictureSize)
            return TL_ERR_NO_SPACE;
        talvo::sim::KeyState& state = call.state();
        int32_t number = talvo::sim::kFirstSealNumber;
        while (number <= talvo::sim::kLastSealNumber && state.seal(number).inUse)
            ++number;
        if (number > talvo::sim::kLastSealNumber)
            return TL_ERR_NO_SPACE;

        // The picture goes first: until the record names it, it is only an unused file.
        std::string error;
        if (!call.store().writePicture(number, std::string(reinterpret_cast<const char*>(data), length),
                                       &error))
            return call.damaged(error);
        talvo::sim::SealRecord& seal = state.seal(number);
        seal.inUse = true;
        seal.name = boundedText(name, TL_SEAL_NAME_SIZE);
        seal.expiryTime = boundedText(expiry, TL_SEAL_TIME_SIZE);
        seal.spareText.clear();
        seal.initTime = today();
        seal.pictureSize = length;
        return call.save();
    });
}

int32_t TLKeyReadSealData(int32_t sealNumber, uint8_t* data, uint32_t* length)
{
    return onKey(__func__, Access::Read, [&](KeyCall& call) -> int32_t {
        if (!length || !holdsSeal(call.state(), sealNumber))
            return TL_ERR_PARAMETER;
        const uint32_t size = call.state().seal(sealNumber).pictureSize;
        if (!data || *length < size) {
            // Answered from the record alone: the picture is read only to be delivered.
            const int32_t status = data ? TL_ERR_MEMORY : TL_OK;
            *length = size;
            return status;
        }
        std::string picture;
        std::string error;
        if (!call.store().readPicture(call.state(), sealNumber, picture, &error))
            return call.damaged(error);
        return talvo::sim::deliverBytes(picture, data, length);
    });
}

int32_t TLKeyDelSealData(int32_t sealNumber)
{
    return onKey(__func__, Access::Change, [&](KeyCall& call) -> int32_t {
        if (!holdsSeal(call.state(), sealNumber))
            return TL_ERR_PARAMETER;
        call.state().seal(sealNumber) = talvo::sim::SealRecord{};
        const int32_t saved = call.save();
        if (saved == TL_OK)
            call.store().removePicture(sealNumber);
        return saved;
    });
}

int32_t TLKeyWriteSealTime(int32_t sealNumber, const char* time)
{
    return onKey(__func__, Access::Change, [&](KeyCall& call) -> int32_t {
        if (!time || !holdsSeal(call.state(), sealNumber))
            return TL_ERR_PARAMETER;
        call.state().seal(sealNumber).expiryTime = boundedText(time, TL_SEAL_TIME_SIZE);
        return call.save();
    });
}
