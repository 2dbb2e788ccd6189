#pragma once

#include <string>

namespace talvo::testing {

// Sets TZ for its lifetime and makes the C library take it up.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone);
    ~ScopedTimeZone();
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    std::string m_previous;
    bool m_hadValue;
};

} // namespace talvo::testing
