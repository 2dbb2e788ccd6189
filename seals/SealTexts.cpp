#include "SealTexts.h"

#include "platform/Cp936Codec.h"

#include <cerrno>
#include <climits>
#include <ctime>

namespace talvo {

namespace {

bool isSingleByteSpace(unsigned char byte)
{
    return byte == ' ' || (byte >= '\t' && byte <= '\r');
}

} // namespace

std::string trimSealName(const std::string& cp936)
{
    std::size_t begin = 0;
    while (begin < cp936.size() && isSingleByteSpace(static_cast<unsigned char>(cp936[begin])))
        ++begin;
    // Walk forward by whole characters so that a trail byte is never mistaken for one of its own.
    std::size_t end = begin;
    std::size_t position = begin;
    while (position < cp936.size()) {
        const auto byte = static_cast<unsigned char>(cp936[position]);
        const std::size_t step = (isCp936LeadByte(byte) && position + 1 < cp936.size()) ? 2 : 1;
        position += step;
        if (step == 2 || !isSingleByteSpace(byte))
            end = position;
    }
    return cp936.substr(begin, end - begin);
}

std::string midnightText(int year, int month, int day)
{
    if (year < INT_MIN + 1900)
        return {};
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_isdst = -1;
    errno = 0;
    const std::time_t calendarTime = std::mktime(&local);
    if (calendarTime == static_cast<std::time_t>(-1) && errno != 0)
        return {};
    std::tm shown{};
    if (!localtime_r(&calendarTime, &shown))
        return {};
    // Room for exactly the 19-byte form: a longer text (a year past 9999) is a failure, not a cut.
    char text[20] = {};
    if (std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &shown) == 0)
        return {};
    return text;
}

std::string midnightText(const QDate& date)
{
    if (!date.isValid())
        return {};
    return midnightText(date.year(), date.month(), date.day());
}

} // namespace talvo
