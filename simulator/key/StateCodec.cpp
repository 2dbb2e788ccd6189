#include "StateCodec.h"

#include <charconv>
#include <limits>
#include <optional>
#include <set>

namespace talvo::sim {

namespace {

constexpr std::string_view kHeader = "talvo-sim-state 1";
constexpr std::string_view kEnd = "end";
constexpr std::string_view kSealPrefix = "seal.";
constexpr std::string_view kFailPrefix = "fail.";

std::string hex(std::string_view bytes)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        out += digits[byte >> 4];
        out += digits[byte & 0x0f];
    }
    return out;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

class Decoder {
public:
    explicit Decoder(std::string* error) : m_error(error) {}

    bool fail(const std::string& message)
    {
        if (m_error && m_error->empty())
            *m_error = message;
        return false;
    }

    // A text field: even-length hex, no zero byte (the key's texts are terminated), within max.
    bool text(std::string_view name, std::string_view value, std::size_t max, std::string& out)
    {
        if (value.size() % 2 != 0)
            return fail("odd hex length in " + std::string(name));
        std::string bytes;
        bytes.reserve(value.size() / 2);
        for (std::size_t i = 0; i < value.size(); i += 2) {
            const int high = hexDigit(value[i]);
            const int low = hexDigit(value[i + 1]);
            if (high < 0 || low < 0)
                return fail("bad hex digit in " + std::string(name));
            if (high == 0 && low == 0)
                return fail("zero byte inside the text " + std::string(name));
            bytes += static_cast<char>(high << 4 | low);
        }
        if (bytes.size() > max)
            return fail(std::string(name) + " is longer than " + std::to_string(max) + " bytes");
        out = std::move(bytes);
        return true;
    }

    template <class Int>
    bool integer(std::string_view name, std::string_view value, long long min, long long max, Int& out)
    {
        long long parsed = 0;
        const char* end = value.data() + value.size();
        const auto [ptr, ec] = std::from_chars(value.data(), end, parsed);
        if (value.empty() || ec != std::errc() || ptr != end)
            return fail("not a number in " + std::string(name));
        if (parsed < min || parsed > max)
            return fail(std::string(name) + " out of range");
        out = static_cast<Int>(parsed);
        return true;
    }

private:
    std::string* m_error;
};

constexpr long long kInt32Min = std::numeric_limits<int32_t>::min();
constexpr long long kInt32Max = std::numeric_limits<int32_t>::max();

std::string sealKey(int number, const char* field)
{
    return std::string(kSealPrefix) + std::to_string(number) + "." + field;
}

} // namespace

std::string encodeState(const KeyState& state)
{
    std::string out;
    auto line = [&out](std::string_view name, const std::string& value) {
        out.append(name).append("=").append(value).append("\n");
    };
    out.append(kHeader).append("\n");
    for (const StateField& field : kStateFields) {
        if (field.byte)
            line(field.name, std::to_string(state.*field.byte));
        else if (field.integer)
            line(field.name, std::to_string(state.*field.integer));
        else
            line(field.name, hex(state.*field.text));
    }
    for (int number = kFirstSealNumber; number <= kLastSealNumber; ++number) {
        const SealRecord& seal = state.seal(number);
        if (!seal.inUse)
            continue;
        line(sealKey(number, "name"), hex(seal.name));
        line(sealKey(number, "expiryTime"), hex(seal.expiryTime));
        line(sealKey(number, "spareText"), hex(seal.spareText));
        line(sealKey(number, "initTime"), hex(seal.initTime));
        line(sealKey(number, "pictureSize"), std::to_string(seal.pictureSize));
    }
    for (const auto& [function, status] : state.failures)
        line(std::string(kFailPrefix) + function, std::to_string(status));
    out.append(kEnd).append("\n");
    return out;
}

bool decodeState(std::string_view text, KeyState& state, std::string* error)
{
    Decoder decoder(error);
    const std::string closing = "\n" + std::string(kEnd) + "\n";
    if (text.size() < closing.size() || text.substr(text.size() - closing.size()) != closing)
        return decoder.fail("the state file is incomplete (no closing \"end\" line)");
    text.remove_suffix(closing.size() - 1);

    std::map<std::string, std::string, std::less<>> fields;
    bool first = true;
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        const std::string_view row = text.substr(0, newline);
        text.remove_prefix(newline + 1);
        if (first) {
            if (row != kHeader)
                return decoder.fail("not a simulated key state file (unknown header)");
            first = false;
            continue;
        }
        const std::size_t equals = row.find('=');
        if (equals == std::string_view::npos || equals == 0)
            return decoder.fail("malformed line \"" + std::string(row.substr(0, 40)) + "\"");
        const auto [it, inserted] =
            fields.emplace(std::string(row.substr(0, equals)), std::string(row.substr(equals + 1)));
        if (!inserted)
            return decoder.fail("repeated field " + it->first);
    }
    if (first)
        return decoder.fail("not a simulated key state file (unknown header)");

    KeyState parsed;
    std::set<std::string, std::less<>> used;
    auto take = [&](std::string_view name) -> std::optional<std::string_view> {
        const auto it = fields.find(name);
        if (it == fields.end()) {
            decoder.fail("missing field " + std::string(name));
            return std::nullopt;
        }
        used.insert(it->first);
        return std::string_view(it->second);
    };
    auto readText = [&](std::string_view name, std::size_t max, std::string& out) {
        const auto value = take(name);
        return value && decoder.text(name, *value, max, out);
    };
    auto readInt = [&](std::string_view name, long long min, long long max, auto& out) {
        const auto value = take(name);
        return value && decoder.integer(name, *value, min, max, out);
    };
    bool ok = true;
    for (const StateField& field : kStateFields) {
        if (field.byte)
            ok = ok && readInt(field.name, 0, 255, parsed.*field.byte);
        else if (field.integer)
            ok = ok && readInt(field.name, field.minimum, kInt32Max, parsed.*field.integer);
        else
            ok = ok && readText(field.name, field.maxBytes, parsed.*field.text);
        if (ok && field.text == &KeyState::serial && parsed.serial.empty())
            ok = decoder.fail("the serial number is empty");
    }
    if (!ok)
        return false;

    for (const auto& [name, value] : fields) {
        if (used.count(name))
            continue;
        const std::string_view key(name);
        if (key.starts_with(kFailPrefix)) {
            const std::string function(key.substr(kFailPrefix.size()));
            if (!isCalledFunction(function))
                return decoder.fail("failure for an unknown function " + function);
            int32_t status = 0;
            if (!decoder.integer(key, value, kInt32Min, kInt32Max, status))
                return false;
            parsed.failures[function] = status;
            continue;
        }
        if (!key.starts_with(kSealPrefix))
            return decoder.fail("unknown field " + name);
        const std::string_view rest = key.substr(kSealPrefix.size());
        int number = 0;
        const auto [ptr, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), number);
        if (ec != std::errc() || ptr == rest.data() || ptr == rest.data() + rest.size() || *ptr != '.' ||
            !isSealNumber(number) ||
            std::to_string(number) != rest.substr(0, static_cast<std::size_t>(ptr - rest.data())))
            return decoder.fail("unknown field " + name);
        SealRecord& seal = parsed.seal(number);
        if (seal.inUse)
            continue; // its fields were all taken together below
        seal.inUse = true;
        ok = readText(sealKey(number, "name"), kSealNameMax, seal.name) &&
             readText(sealKey(number, "expiryTime"), kSealTimeMax, seal.expiryTime) &&
             readText(sealKey(number, "spareText"), kSpareTextMax, seal.spareText) &&
             readText(sealKey(number, "initTime"), kInitTimeMax, seal.initTime) &&
             readInt(sealKey(number, "pictureSize"), 1, std::numeric_limits<uint32_t>::max(),
                     seal.pictureSize);
        if (!ok)
            return false;
    }
    for (const auto& entry : fields) {
        if (!used.count(entry.first) && !std::string_view(entry.first).starts_with(kFailPrefix))
            return decoder.fail("unknown field " + entry.first);
    }
    state = std::move(parsed);
    return true;
}

} // namespace talvo::sim
