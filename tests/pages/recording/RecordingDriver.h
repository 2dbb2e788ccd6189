#pragma once

#include "device/TalvoDriverApi.h"

#include <cstdint>
#include <map>
#include <optional>
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

// A driver library of our own for the page tests: it answers from the state the test sets
// and records every call, so a test can see the exact bytes that reach a driver and feed the
// pages answers that a well-behaved key never gives.
struct RecordingDriver {
    bool present = true;
    KeyInfo keyInfo{};
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

    std::vector<DriverCall> calls;

    void reset() { *this = RecordingDriver{}; }
};

RecordingDriver& recordingDriver();

// The hash text this driver gives for the bytes: 32 uppercase hexadecimal digits.
std::string recordingHash(const std::string& bytes);

} // namespace talvo::testing
