#pragma once

#include "device/TalvoDriverApi.h"

#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace talvo::testing {

// One call that reached the driver: its name and its arguments as the driver saw them
// (texts as their bytes, numbers in decimal, records as their raw bytes).
struct DriverCall {
    std::string name;
    std::vector<std::string> arguments;
    bool operator==(const DriverCall&) const = default;
};

// What a two-call function hands out: the length that the first call reports (the data's own
// length unless told) and the length that the second call stores back (what it copied unless
// told), so that a test can play a driver whose lengths do not match what it delivers.
struct TwoCallData {
    std::string bytes;
    std::optional<uint32_t> announcedLength;
    std::optional<uint32_t> deliveredLength;
};

// Ten free seal slots numbered 101..110, every other field zero.
inline KeyInfo emptyKeyInfo()
{
    KeyInfo info{};
    for (int slot = 0; slot < TL_SEAL_SLOTS; ++slot)
        info.sealTable[slot].number = TL_FIRST_SEAL_NUMBER + slot;
    return info;
}

// A driver library of our own for the key, page and seal tests, a key in memory: it answers from
// the state the test sets and records every call. It serves the faults of a driver that loads
// and binds but answers wrongly: the exact bytes that reach it, a failing status from any
// function (and from the second call of a two-call read alone, as "NAME/buffer"), buffers filled
// without terminator,
// lengths claimed beyond the buffer given, seal entries outside the contract, an absent key.
struct RecordingDriver {
    bool present = true;
    // What TLKeyReadSerial copies, at most its buffer's size: all of it leaves no terminator.
    std::string serial;
    KeyInfo keyInfo = emptyKeyInfo();
    int32_t sealCount = 0;
    std::string storedHash;
    int32_t certificateCount = 0;
    // A function named here answers with that status instead of doing its work.
    std::map<std::string, int32_t> failures;
    // Raw 40 bytes that TLKeyCalcHash / TLKeyReadHash write instead of a terminated hash.
    std::optional<std::string> calcHashBytes;
    std::optional<std::string> readHashBytes;
    TwoCallData certificate;
    TwoCallData signature;
    TwoCallData publicKey;
    // What TLKeyReadCspName points at: exactly these bytes, no terminator added; null if unset.
    std::optional<std::vector<char>> cspName;
    // Seal pictures by seal number; the entries are keyInfo.sealTable.
    std::map<int32_t, std::string> pictures;
    // A TLKeyReadSealData that fills a buffer claims this many bytes more than it wrote.
    uint32_t overReport = 0;

    std::vector<DriverCall> calls;

    void reset() { *this = RecordingDriver{}; }
};

RecordingDriver& recordingDriver();

// The calls that reached the driver since the last reset, by name only.
inline std::vector<std::string> callNames()
{
    std::vector<std::string> names;
    for (const DriverCall& call : recordingDriver().calls)
        names.push_back(call.name);
    return names;
}

// Readable failures for the recorded calls.
inline void PrintTo(const DriverCall& call, std::ostream* out)
{
    *out << call.name << "(";
    for (std::size_t i = 0; i < call.arguments.size(); ++i)
        *out << (i ? ", " : "") << '"' << call.arguments[i] << '"';
    *out << ")";
}

// The hash text this driver gives for the bytes: 32 uppercase hexadecimal digits.
std::string recordingHash(const std::string& bytes);

} // namespace talvo::testing
