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
// its text is not exactly that 19-byte form (years before 1000 or after 9999, days B.C.).
std::string midnightText(int year, int month, int day);
std::string midnightText(const QDate& date);

} // namespace talvo
