#pragma once

#include "device/TalvoDriverApi.h"

#include <array>
#include <cstdint>

namespace talvo {

// The copy of the key's seal table as last read, and the list index that maps each position
// of the seal list to the seal shown there. Only slots whose seal is listed are ever looked
// up, so empty slots may keep older contents.
class SealSlotTable {
public:
    static constexpr int kSlots = TL_SEAL_SLOTS;

    // Slot i gets number 101 + i, not in use, texts zero-filled; the list index is cleared.
    void reset();

    // Copies every slot in use from the key's record, in slot order, and lists its number at
    // the next position. Returns how many seals are listed.
    int rebuildFrom(const KeyInfo& info);

    int listedCount() const { return m_listed; }
    // The seal number at a list position, or 0 when nothing is listed there.
    int32_t numberAt(int position) const;
    // The slot copy of the seal listed at a position, or null when nothing is listed there.
    const SealEntry* listedEntry(int position) const;
    // The slot copy of a seal number, or null for a number outside 101..110.
    const SealEntry* entryForNumber(int32_t number) const;
    const SealEntry& slot(int index) const { return m_slots.at(static_cast<std::size_t>(index)); }

private:
    std::array<SealEntry, kSlots> m_slots{};
    std::array<int32_t, kSlots> m_listIndex{};
    std::array<int, kSlots> m_listedSlots{};
    int m_listed = 0;
};

} // namespace talvo
