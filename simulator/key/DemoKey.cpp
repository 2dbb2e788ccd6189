#include "DemoKey.h"

#include "Cp936Text.h"
#include "EmbeddedFiles.h"
#include "PinHash.h"

#include <cstring>

namespace talvo::sim {

namespace {

struct DemoSeal {
    const char* name;
    const char* expiryTime;
};

// In the order of the embedded pictures.
constexpr DemoSeal kDemoSeals[] = {
    {"合同专用章", "2030-12-31 00:00:00"},
    {"财务专用章", "2028-06-30 00:00:00"},
    {"公章", "2035-01-01 00:00:00"},
};
constexpr const char* kDemoInitTime = "2026-01-15";

std::string cp936(const char* utf8)
{
    std::string text;
    utf8ToCp936(utf8, text);
    return text;
}

} // namespace

KeyState demoKeyState(KeyContent content)
{
    KeyState state;
    state.serial = kDemoSerial;
    state.factoryFlag = 1;
    state.formatFlag = 1;
    state.initFlag = 1;
    state.mode = kModeCommon;
    state.pinHash = pinHash(kFactoryPin, std::strlen(kFactoryPin));
    state.unitId = cp936("辽宁示范单位");
    state.userId = cp936("演示用户 demo-01");
    state.keyRole = kDemoKeyRole;
    if (content == KeyContent::Empty)
        return state;
    int32_t number = kFirstSealNumber;
    for (const DemoSeal& demo : kDemoSeals) {
        SealRecord& seal = state.seal(number);
        seal.inUse = true;
        seal.name = cp936(demo.name);
        seal.expiryTime = demo.expiryTime;
        seal.initTime = kDemoInitTime;
        seal.pictureSize = static_cast<uint32_t>(demoPicture(number).size());
        ++number;
    }
    return state;
}

std::string_view demoPicture(int32_t sealNumber)
{
    if (sealNumber < kFirstSealNumber)
        return {};
    return embeddedFile(static_cast<std::size_t>(sealNumber - kFirstSealNumber));
}

} // namespace talvo::sim
