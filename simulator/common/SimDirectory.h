#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace talvo::sim {

// Where the simulated key keeps its state: TALVO_SIM_DIR, else the user's data directory.
std::filesystem::path stateDirectory();

// The key counts as unplugged while this marker file exists in its directory; a marker is
// atomic to create and remove, so the driver and the provider agree without sharing a lock.
std::filesystem::path unpluggedMarker(const std::filesystem::path& dir);
bool isPlugged(const std::filesystem::path& dir);

// A directory that other users may write lets them swap or plant the key's files. One that
// is ours is tightened (group and others lose write access) with a warning on standard
// error; one that belongs to someone else is refused.
enum class DirectoryCheck { Safe, Missing, Refused };
DirectoryCheck checkStateDirectory(const std::filesystem::path& dir, std::string* error);

// Writes a file whole or not at all: an unpredictable temporary file created exclusively
// beside it, fsync, rename, fsync of the directory.
bool writeFileAtomically(const std::filesystem::path& file, const std::string& bytes, std::string* error,
                         unsigned mode = 0600);

// True for the names writeFileAtomically gives its temporary files (".NAME.tmp.SUFFIX").
bool isTemporaryFileName(const std::string& name);

// Reads a file of the key: never a link, never blocking, only a regular file of at most
// maxBytes. Missing when nothing is there; any other failure is Refused with the reason.
enum class FileRead { Read, Missing, Refused };
FileRead readKeyFile(const std::filesystem::path& file, std::size_t maxBytes, std::string& bytes,
                     std::string* error);

} // namespace talvo::sim
