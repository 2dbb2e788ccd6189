#include "DriverFunctions.h"

#include <algorithm>

namespace talvo::sim {

bool isCalledFunction(std::string_view name)
{
    return std::find(kCalledFunctions.begin(), kCalledFunctions.end(), name) != kCalledFunctions.end();
}

} // namespace talvo::sim
