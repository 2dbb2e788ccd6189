#pragma once

#include <QString>

#include <cstdint>
#include <string>

namespace talvo {

class KeyDriverBinding;

// Where "设置密码" ended, in the order in which it checks.
enum class PinChangeOutcome {
    Incomplete,          // a text was empty: the key was not asked
    WrongOldPin,         // the key refused the old PIN, or could not check it
    ConfirmationDiffers, // the new PIN and its confirmation differ: nothing was hashed
    HashFailed,          // the key could not hash the new PIN
    WriteFailed,         // the key did not store the new hash
    Changed,
};

struct PinChangeResult {
    PinChangeOutcome outcome = PinChangeOutcome::Incomplete;
    // The failing driver call's status; 0 when no call failed (a refused PIN or a mismatch).
    int32_t status = 0;
};

// Whether all three texts are there; an incomplete change never asks the key.
bool pinChangeComplete(const std::string& oldPin, const std::string& newPin, const std::string& confirmation);

// Checks the old PIN against the key's hash, then hashes the new one on the key and stores
// the hash, stopping at the first refusal. Texts are CP936 bytes, compared byte for byte.
PinChangeResult changePin(KeyDriverBinding& binding, const std::string& oldPin, const std::string& newPin,
                          const std::string& confirmation);

// The text the operator is shown for an outcome; empty for a differing confirmation, which
// the page leaves on screen to be corrected.
QString pinChangeText(PinChangeOutcome outcome);

} // namespace talvo
