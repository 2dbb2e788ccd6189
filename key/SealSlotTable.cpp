#include "SealSlotTable.h"

#include <cstring>

namespace talvo {

void SealSlotTable::reset()
{
    for (int i = 0; i < kSlots; ++i) {
        SealEntry& entry = m_slots[static_cast<std::size_t>(i)];
        std::memset(&entry, 0, sizeof entry);
        entry.number = TL_FIRST_SEAL_NUMBER + i;
    }
    m_listIndex.fill(0);
    m_listedSlots.fill(0);
    m_listed = 0;
}

int SealSlotTable::rebuildFrom(const KeyInfo& info)
{
    m_listed = 0;
    for (int k = 0; k < kSlots; ++k) {
        const SealEntry& source = info.sealTable[k];
        if (source.inUse == 0)
            continue;
        m_slots[static_cast<std::size_t>(k)] = source;
        m_listIndex[static_cast<std::size_t>(m_listed)] = source.number;
        m_listedSlots[static_cast<std::size_t>(m_listed)] = k;
        ++m_listed;
    }
    return m_listed;
}

int32_t SealSlotTable::numberAt(int position) const
{
    if (position < 0 || position >= m_listed)
        return 0;
    return m_listIndex[static_cast<std::size_t>(position)];
}

const SealEntry* SealSlotTable::listedEntry(int position) const
{
    if (position < 0 || position >= m_listed)
        return nullptr;
    return &m_slots[static_cast<std::size_t>(m_listedSlots[static_cast<std::size_t>(position)])];
}

const SealEntry* SealSlotTable::entryForNumber(int32_t number) const
{
    // Widened first: a number near INT32_MIN must not overflow the subtraction.
    const int64_t index = static_cast<int64_t>(number) - TL_FIRST_SEAL_NUMBER;
    if (index < 0 || index >= kSlots)
        return nullptr;
    return &m_slots[static_cast<std::size_t>(index)];
}

} // namespace talvo
