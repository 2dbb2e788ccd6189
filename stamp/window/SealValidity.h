#pragma once

#include <QString>

#include <ctime>
#include <string>

namespace talvo::stamp {

// Why a seal with this expiry text (the key's, "%Y-%m-%d %H:%M:%S") may not be used at a
// moment; empty when it may. A text that is no time at all does not count as in force.
QString sealOutOfForceReason(const std::string& expiryText, std::time_t at);

} // namespace talvo::stamp
