#include "SealTexts.h"

#include "platform/core/Cp936Codec.h"

#include <cerrno>
#include <climits>
#include <ctime>

namespace talvo {

namespace {

bool isSingleByteSpace(unsigned char byte)
{
    return byte == ' ' || (byte >= '\t' && byte <= '\r');
}

// "YYYY-MM-DD hh:mm:ss" and nothing else: years before 1000 come out shorter and years
// before Christ with a sign, and neither belongs in the key's time fields.
bool hasTimeTextForm(const char* text)
{
    static constexpr char kForm[] = "0000-00-00 00:00:00";
    for (std::size_t i = 0; i + 1 < sizeof kForm; ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (kForm[i] == '0' ? !digit : text[i] != kForm[i])
            return false;
    }
    return text[sizeof kForm - 1] == '\0';
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
    if (std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &shown) == 0 || !hasTimeTextForm(text))
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
