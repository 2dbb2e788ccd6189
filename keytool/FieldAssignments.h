#pragma once

#include "key/DeviceInfoFields.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace talvo::keytool {

// The fields that "设置信息" writes, given as FIELD=VALUE. Each value is held to what the
// form lets an operator type: the edits' byte limits in the key's code page, a mode text that
// matches a mode name, one digit for the error count, 0 or 1 for a check box.
class FieldAssignments {
public:
    // False, with the reason, for an unknown or repeated field or a value the form refuses.
    bool parse(const std::vector<std::string>& assignments, QString* error);

    // Puts the given fields into the record read from the key, as the page's form would
    // write them; every other byte stays.
    void applyTo(KeyBaseInfo& record) const;

    static QString fieldNames();

private:
    std::optional<int32_t> m_mode;
    std::optional<std::string> m_pinHash;
    std::optional<std::string> m_unitId;
    std::optional<std::string> m_userId;
    std::optional<int32_t> m_errorTimes;
    // The check boxes "设置信息" writes, in the order of kWrittenFlags.
    std::array<std::optional<int>, 4> m_flags;
};

} // namespace talvo::keytool
