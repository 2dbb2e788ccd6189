// Feeds arbitrary text to talvo-key's readers of what the operator types: the first line as
// a day, every further line as a FIELD=VALUE assignment. A day it takes becomes a 19-byte time text of
// that day; assignments it takes fill only their own fields, whole and terminated within them.

#include "keytool/DayText.h"
#include "keytool/FieldAssignments.h"

#include "platform/core/Cp936Codec.h"
#include "platform/core/LocaleText.h"

#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

void fail(const char* what, const std::string& text)
{
    std::fprintf(stderr, "%s: %s\n", what, text.c_str());
    std::abort();
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    // A last line break ends the last line; it starts no empty one.
    if (start < text.size() || lines.empty())
        lines.push_back(text.substr(start));
    return lines;
}

// A field given is held whole in the key's code page and terminated within its buffer.
template <std::size_t N>
void checkField(const char (&field)[N], const std::string& name, const std::vector<std::string>& assignments)
{
    for (const std::string& assignment : assignments) {
        if (!assignment.starts_with(name + "="))
            continue;
        if (std::memchr(field, 0, N) == nullptr)
            fail("a text field is not terminated", name);
        const std::string given =
            talvo::toCp936(talvo::fromLocaleEncoding(assignment.substr(name.size() + 1)));
        if (std::string(field) != given)
            fail("a field does not hold the value given", assignment);
    }
}

} // namespace

int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    // The day is checked against its own text, which holds where midnight is no gap.
    ::setenv("TZ", "UTC", 1);
    return 0;
}

int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    // Arguments never hold a NUL.
    if (text.find('\0') != std::string::npos)
        return 0;
    std::vector<std::string> lines = linesOf(text);
    const std::string day = lines.front();
    lines.erase(lines.begin());

    if (const std::optional<std::string> midnight = talvo::keytool::midnightOfDay(day)) {
        if (midnight->size() != 19 || midnight->substr(0, 10) != day)
            fail("a day's midnight names another day", *midnight);
    }

    talvo::keytool::FieldAssignments fields;
    QString error;
    if (!fields.parse(lines, &error)) {
        if (error.isEmpty())
            fail("a refused assignment names no reason", text);
        return 0;
    }
    KeyBaseInfo record;
    std::memset(&record, 0x5A, sizeof record);
    KeyBaseInfo untouched = record;
    fields.applyTo(record);
    checkField(record.pinHash, "pinHash", lines);
    checkField(record.unitId, "unitId", lines);
    checkField(record.userId, "userId", lines);
    std::memcpy(untouched.pinHash, record.pinHash, sizeof record.pinHash);
    std::memcpy(untouched.unitId, record.unitId, sizeof record.unitId);
    std::memcpy(untouched.userId, record.userId, sizeof record.userId);
    untouched.mode = record.mode;
    untouched.errorTimes = record.errorTimes;
    untouched.factoryFlag = record.factoryFlag;
    untouched.formatFlag = record.formatFlag;
    untouched.initFlag = record.initFlag;
    untouched.lockFlag = record.lockFlag;
    if (std::memcmp(&untouched, &record, sizeof record) != 0)
        fail("an assignment changed a byte outside its field", text);
    return 0;
}
