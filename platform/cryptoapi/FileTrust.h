#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace talvo {

// Why a file that the process is about to trust with its code or configuration could have
// been changed by another user, as ssh and sudo judge loose files: the file must be a regular
// file owned by root or by this user and writable by nobody else, and every directory above it
// (the file's own and, for a link, the link's) the same unless it has the sticky bit. None when
// the file passes.
std::optional<std::string> whyUntrusted(const std::filesystem::path& file);

} // namespace talvo
