#include "KeyState.h"

#include <algorithm>

namespace talvo::sim {

int KeyState::sealCount() const
{
    return static_cast<int>(
        std::count_if(seals.begin(), seals.end(), [](const SealRecord& s) { return s.inUse; }));
}

} // namespace talvo::sim
