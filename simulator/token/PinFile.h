#pragma once

#include <filesystem>
#include <string>

namespace talvo::sim {

// The token's PIN from the first line of a file that only its owner, the user, may read: a
// regular file, no link, no wider mode than 0600. Anything else is refused with the reason.
// talvo-key reads its password and PIN files with the same reader, warning of a loose one.
bool readPinFile(const std::filesystem::path& file, std::string& pin, std::string* error);

} // namespace talvo::sim
