#include "FieldAssignments.h"

#include "key/OperatorTexts.h"
#include "platform/core/Cp936Codec.h"
#include "platform/core/LocaleText.h"

#include <QStringList>

#include <string_view>

namespace talvo::keytool {

namespace {

const char* const kFieldNames[] = {"mode",        "pinHash",    "unitId",   "userId",  "errorTimes",
                                   "factoryFlag", "formatFlag", "initFlag", "lockFlag"};

// The check boxes that "设置信息" writes: the field's name and the record's byte.
const struct {
    std::string_view name;
    uint8_t KeyBaseInfo::*byte;
} kWrittenFlags[] = {{"factoryFlag", &KeyBaseInfo::factoryFlag},
                     {"formatFlag", &KeyBaseInfo::formatFlag},
                     {"initFlag", &KeyBaseInfo::initFlag},
                     {"lockFlag", &KeyBaseInfo::lockFlag}};

// The value in the key's code page, or nothing when the code page cannot hold it.
std::optional<std::string> keyText(const std::string& given)
{
    const QString text = fromLocaleEncoding(given);
    std::string bytes = toCp936(text);
    if (fromCp936(bytes) != text)
        return std::nullopt;
    return bytes;
}

// Where the flag of that name stands in kWrittenFlags; past its end for no flag.
std::size_t flagIndex(std::string_view name)
{
    std::size_t at = 0;
    while (at < std::size(kWrittenFlags) && kWrittenFlags[at].name != name)
        ++at;
    return at;
}

} // namespace

QString FieldAssignments::fieldNames()
{
    QStringList names;
    for (const char* name : kFieldNames)
        names.append(QLatin1String(name));
    return names.join(QLatin1Char(' '));
}

bool FieldAssignments::parse(const std::vector<std::string>& assignments, QString* error)
{
    for (const std::string& assignment : assignments) {
        const std::size_t equals = assignment.find('=');
        const std::string name = assignment.substr(0, equals);
        const QString shownName = fromLocaleEncoding(name);
        if (equals == std::string::npos) {
            *error = QStringLiteral("'%1' is no FIELD=VALUE").arg(fromLocaleEncoding(assignment));
            return false;
        }
        const std::optional<std::string> value = keyText(assignment.substr(equals + 1));
        if (!value) {
            *error = QStringLiteral("%1: the key's code page (GBK) cannot hold the value").arg(shownName);
            return false;
        }
        const auto refuse = [&](const QString& why) {
            *error = shownName + QStringLiteral(": ") + why;
            return false;
        };
        const auto once = [&](auto& field) {
            if (field.has_value())
                return refuse(QStringLiteral("given twice"));
            return true;
        };
        const auto text = [&](std::optional<std::string>& field, std::size_t maxBytes) {
            if (!once(field))
                return false;
            if (value->size() > maxBytes)
                return refuse(QStringLiteral("at most %1 bytes in the key's code page").arg(maxBytes));
            field = *value;
            return true;
        };
        const auto flag = [&](std::optional<int>& field) {
            if (!once(field))
                return false;
            if (*value != "0" && *value != "1")
                return refuse(QStringLiteral("0 or 1"));
            field = *value == "1" ? 1 : 0;
            return true;
        };

        bool accepted = false;
        if (name == "mode") {
            if (!once(m_mode))
                return false;
            if (value->size() > kModeTextMaxBytes)
                return refuse(QStringLiteral("at most %1 bytes").arg(kModeTextMaxBytes));
            m_mode = matchModeText(*value);
            if (!m_mode)
                return refuse(kModeErrorText);
            accepted = true;
        } else if (name == "pinHash") {
            accepted = text(m_pinHash, kPinHashMaxBytes);
        } else if (name == "unitId") {
            accepted = text(m_unitId, kUnitIdMaxBytes);
        } else if (name == "userId") {
            accepted = text(m_userId, kUserIdMaxBytes);
        } else if (name == "errorTimes") {
            if (!once(m_errorTimes))
                return false;
            // The form's edit takes one byte; an empty edit writes 0.
            if (value->size() > kErrorTimesMaxBytes ||
                (!value->empty() && ((*value)[0] < '0' || (*value)[0] > '9')))
                return refuse(QStringLiteral("one digit"));
            m_errorTimes = parseDecimal(*value);
            accepted = true;
        } else if (const std::size_t at = flagIndex(name); at < m_flags.size()) {
            accepted = flag(m_flags[at]);
        } else {
            *error = QStringLiteral("unknown field '%1' (fields: %2)").arg(shownName, fieldNames());
            return false;
        }
        if (!accepted)
            return false;
    }
    return true;
}

void FieldAssignments::applyTo(KeyBaseInfo& record) const
{
    if (m_mode)
        record.mode = *m_mode;
    if (m_pinHash)
        copyToField(*m_pinHash, record.pinHash);
    if (m_unitId)
        copyToField(*m_unitId, record.unitId);
    if (m_userId)
        copyToField(*m_userId, record.userId);
    if (m_errorTimes)
        record.errorTimes = *m_errorTimes;
    static_assert(std::size(kWrittenFlags) == std::tuple_size_v<decltype(m_flags)>);
    for (std::size_t at = 0; at < m_flags.size(); ++at) {
        if (m_flags[at])
            record.*kWrittenFlags[at].byte = flagByteFromMember(*m_flags[at]);
    }
}

} // namespace talvo::keytool
