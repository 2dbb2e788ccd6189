#include "ScopedTimeZone.h"

#include <cstdlib>
#include <ctime>

namespace talvo::testing {

ScopedTimeZone::ScopedTimeZone(const char* zone)
{
    const char* previous = std::getenv("TZ");
    m_hadValue = previous != nullptr;
    if (previous)
        m_previous = previous;
    ::setenv("TZ", zone, 1);
    ::tzset();
}

ScopedTimeZone::~ScopedTimeZone()
{
    if (m_hadValue)
        ::setenv("TZ", m_previous.c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
}

} // namespace talvo::testing
