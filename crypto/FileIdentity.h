#pragma once

#include "StdioFile.h"

#include <QString>

namespace talvo {

// True when both names reach one existing file (through links or different spellings).
bool namesSameFile(const QString& first, const QString& second);

// Opens anything for reading. A pipe without a writer is waited for, unless waitForWriter is
// false: then it reads as empty at once.
StdioFile openForReading(const QString& path, bool waitForWriter);

// Opens a regular file for reading, without waiting: a pipe, device or directory does not open.
StdioFile openRegularFileForReading(const QString& path);

// True when the name reaches something (through links) that is not a regular file: a
// directory, a pipe or a device. A name that reaches nothing is no such thing.
bool namesNonRegularFile(const QString& path);

// True for a stream open on a directory.
bool isDirectory(std::FILE* file);

} // namespace talvo
