#include "FieldAssignment.h"

#include "simulator/key/Cp936Text.h"

#include <charconv>
#include <limits>

namespace talvo::sim {

namespace {

bool parseNumber(std::string_view value, long long minimum, long long maximum, long long& number)
{
    const char* end = value.data() + value.size();
    const auto [ptr, ec] = std::from_chars(value.data(), end, number);
    return !value.empty() && ec == std::errc() && ptr == end && number >= minimum && number <= maximum;
}

bool refuse(std::string* error, const std::string& message)
{
    if (error)
        *error = message;
    return false;
}

} // namespace

bool assignField(KeyState& state, std::string_view field, std::string_view value, std::string* error)
{
    for (const StateField& assignment : kStateFields) {
        if (assignment.name != field)
            continue;
        const std::string name(field);
        long long number = 0;
        if (assignment.byte) {
            if (!parseNumber(value, 0, 255, number))
                return refuse(error, name + " takes a number from 0 to 255");
            state.*assignment.byte = static_cast<uint8_t>(number);
            return true;
        }
        if (assignment.integer) {
            if (!parseNumber(value, assignment.minimum, std::numeric_limits<int32_t>::max(), number))
                return refuse(error, name + " takes a number from " + std::to_string(assignment.minimum) +
                                         " to " + std::to_string(std::numeric_limits<int32_t>::max()));
            state.*assignment.integer = static_cast<int32_t>(number);
            return true;
        }
        std::string cp936;
        if (!utf8ToCp936(value, cp936))
            return refuse(error, name + ": the text has characters that CP936 cannot hold");
        if (cp936.size() > assignment.maxBytes)
            return refuse(error,
                          name + " holds at most " + std::to_string(assignment.maxBytes) + " CP936 bytes");
        if (cp936.find('\0') != std::string::npos || (field == "serial" && cp936.empty()))
            return refuse(error, name + ": not a text the key can hold");
        state.*assignment.text = cp936;
        return true;
    }
    return refuse(error, "unknown field \"" + std::string(field) + "\" (fields: " + assignableFields() + ")");
}

std::string assignableFields()
{
    std::string names;
    for (const StateField& assignment : kStateFields)
        names += (names.empty() ? "" : ", ") + std::string(assignment.name);
    return names;
}

} // namespace talvo::sim
