#pragma once

#include "key/SealStanding.h"

#include <QString>

#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace talvo {

class KeyDriverBinding;

// The steps before a stamp that the command and the window share; each failure comes with
// its text for the key holder.
struct StampStep {
    bool ok = false;
    QString message;
};

// The key's seals judged at the given time.
StampStep listSeals(KeyDriverBinding& binding, std::time_t at, std::vector<SealStanding>& seals);

// The seal to stamp with: it must exist and be in force; a refusal names the seal and its
// expiry.
StampStep chooseSeal(KeyDriverBinding& binding, int32_t number, std::time_t at, SealStanding& seal);

// The seal's picture as the key holds it.
StampStep readSealPictureBytes(KeyDriverBinding& binding, int32_t number, std::vector<uint8_t>& picture);

// The key holder's PIN (UTF-8) checked by the key before anything is signed.
StampStep verifyHolderPin(KeyDriverBinding& binding, const std::string& pin);

} // namespace talvo
