#pragma once

#include <optional>
#include <string>

namespace talvo::keytool {

// A day given as YYYY-MM-DD, as the seal dialogs' calendars would hand it on: the text of its
// local midnight (19 bytes). Nothing for a text that names no day of the calendar or whose
// midnight the key's time text cannot hold.
std::optional<std::string> midnightOfDay(const std::string& day);

} // namespace talvo::keytool
