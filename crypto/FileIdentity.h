#pragma once

#include "StdioFile.h"

#include <QString>

namespace talvo {

// True when both names reach one existing file (through links or different spellings).
bool namesSameFile(const QString& first, const QString& second);

// True when both streams are open on one file. Checked on the open files, a name swapped
// after an earlier check by name cannot turn an output into the input it destroys.
bool sameOpenFile(std::FILE* first, std::FILE* second);

// Opens for writing, creating the file if needed but keeping its content until the caller
// has checked it against the input and calls truncateOutput. A pipe or device is opened too
// (and waited on, as an output is): a secure message file may go to one.
StdioFile openOutputKeepingContent(const QString& path);
// Empties a regular file; a device or pipe has nothing to empty, as with O_TRUNC.
bool truncateOutput(std::FILE* output);

// Opens a regular file for reading, without waiting: a pipe, device or directory does not open.
StdioFile openRegularFileForReading(const QString& path);

// True when the name reaches something (through links) that is not a regular file: a
// directory, a pipe or a device. A name that reaches nothing is no such thing.
bool namesNonRegularFile(const QString& path);

// True for a stream open on a directory.
bool isDirectory(std::FILE* file);

} // namespace talvo
