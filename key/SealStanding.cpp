#include "SealStanding.h"

#include "SealOperations.h"
#include "SealSlotTable.h"
#include "device/DriverConventions.h"

#include <cstring>

namespace talvo {

namespace {

std::string fieldText(const char* field, std::size_t size)
{
    return std::string(field, strnlen(field, size));
}

} // namespace

std::optional<std::time_t> sealExpiryTime(const std::string& expiryText)
{
    std::tm local{};
    const char* end = strptime(expiryText.c_str(), "%Y-%m-%d %H:%M:%S", &local);
    if (!end || *end != '\0')
        return std::nullopt;
    local.tm_isdst = -1;
    const std::time_t moment = std::mktime(&local);
    if (moment == static_cast<std::time_t>(-1))
        return std::nullopt;
    return moment;
}

SealStanding sealStanding(const SealEntry& entry, std::time_t at)
{
    SealStanding standing;
    standing.number = entry.number;
    standing.cp936Name = fieldText(entry.name, sizeof entry.name);
    standing.expiryText = fieldText(entry.expiryTime, sizeof entry.expiryTime);
    const std::optional<std::time_t> expiry = sealExpiryTime(standing.expiryText);
    standing.inForce = expiry && at < *expiry;
    return standing;
}

int32_t readSealStandings(KeyDriverBinding& binding, std::time_t at, std::vector<SealStanding>& standings)
{
    SealSlotTable table;
    table.reset();
    const int32_t status = readSealTable(binding, table);
    if (status != TL_OK)
        return status;
    standings.clear();
    for (int position = 0; position < table.listedCount(); ++position) {
        if (const SealEntry* entry = table.listedEntry(position))
            standings.push_back(sealStanding(*entry, at));
    }
    return status;
}

} // namespace talvo
