#pragma once

#include <filesystem>
#include <string>

namespace talvo::sim {

// Where the simulated key keeps its state: TALVO_SIM_DIR, else the user's data directory.
std::filesystem::path stateDirectory();

// The key counts as unplugged while this marker file exists in its directory; a marker is
// atomic to create and remove, so the driver and the provider agree without sharing a lock.
std::filesystem::path unpluggedMarker(const std::filesystem::path& dir);
bool isPlugged(const std::filesystem::path& dir);

// Writes a file whole or not at all: temporary file, fsync, rename, fsync of the directory.
bool writeFileAtomically(const std::filesystem::path& file, const std::string& bytes, std::string* error,
                         unsigned mode = 0600);

bool readWholeFile(const std::filesystem::path& file, std::string& bytes, std::string* error);

} // namespace talvo::sim
