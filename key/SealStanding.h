#pragma once

#include "device/TalvoDriverApi.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace talvo {

class KeyDriverBinding;

// A seal as the key holder sees it before stamping: its texts as the key holds them (CP936)
// and whether its expiry time is still ahead.
struct SealStanding {
    int32_t number = 0;
    std::string cp936Name;
    std::string expiryText; // "%Y-%m-%d %H:%M:%S", local time
    bool inForce = false;
};

// The moment a seal's expiry text names, local time; nothing for a text of another form.
std::optional<std::time_t> sealExpiryTime(const std::string& expiryText);

// A seal whose expiry text cannot be read is not in force.
SealStanding sealStanding(const SealEntry& entry, std::time_t at);

// Every seal on the key, in slot order, judged at the given time: the driver's status.
int32_t readSealStandings(KeyDriverBinding& binding, std::time_t at, std::vector<SealStanding>& standings);

} // namespace talvo
