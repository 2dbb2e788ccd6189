#pragma once

#include <QDate>

#include <string>

namespace talvo {

// Removes white space at both ends of a CP936 name, leading first. Single-byte characters
// are judged byte by byte; a double-byte character is stepped over whole and never removed,
// even when it is a full-width space.
std::string trimSealName(const std::string& cp936);

// The local midnight that starts the day, as "%Y-%m-%d %H:%M:%S" (19 bytes). The C library
// decides whether daylight saving time applies. Empty when the day cannot be converted or
// its text would not fit the 19 bytes the key's time fields are made for.
std::string midnightText(int year, int month, int day);
std::string midnightText(const QDate& date);

} // namespace talvo
