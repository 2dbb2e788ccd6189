#pragma once

#include "support/TempDirectory.h"

#include <filesystem>
#include <memory>

namespace talvo::testing {

// A container made by the simulator's own createContainer, generated once per test program
// (RSA generation is slow under the sanitizers) and copied for each test.
const std::filesystem::path& generatedContainer();

// A container whose pairs have the given modulus sizes in bits, generated once per size pair.
const std::filesystem::path& containerWithKeySizes(int signatureBits, int exchangeBits);

// The committed container that the fuzz corpus was made with.
std::filesystem::path fuzzContainer();

// A simulated key of its own for one test: a copy of a container in a fresh directory, with
// TALVO_SIM_DIR pointing at it.
class SimulatedKeyDirectory {
public:
    explicit SimulatedKeyDirectory(const std::filesystem::path& container = generatedContainer());

    std::filesystem::path path() const;
    void unplug() const;
    void removeFile(const char* name) const;

private:
    TempDirectory m_dir;
    std::unique_ptr<ScopedEnvironment> m_environment;
};

} // namespace talvo::testing
