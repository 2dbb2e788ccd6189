#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

namespace talvo {

// Opens a fixed-name file of the private directory (privateFilePath) for writing from its
// start, as the Windows original created or truncated its temporary files. What stands at
// the name is used only when it is a regular file of the user's own with no other name;
// anything else (a pipe, a device, a link, a file of another user's or one only readable) is
// removed and the file created anew, exclusively, with mode 0600. Nothing opened here waits:
// a pipe planted at the name cannot hang the caller.
//
// Returns the open descriptor, which the caller owns, or -1 with *errorNumber set for the
// file-error box (showFileErrorBox). A directory at the name is left alone and answers
// EISDIR. Callers write through the descriptor, for example
//     int error = 0;
//     const int fd = openPrivateFileForWriting(path, &error);
//     QFile file;
//     if (fd < 0 || !file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle))
//         ... showFileErrorBox(path, fd < 0 ? error : EIO) ...
// Used for "__tmpSealPicFile.dat" (the seal list) and meant for "__tmpCertFile.cer".
int openPrivateFileForWriting(const QString& path, int* errorNumber);

// The whole file written through openPrivateFileForWriting: 0, or the errno of the step that
// failed (a partly written file stays).
int writePrivateFile(const QString& path, const uint8_t* data, std::size_t size);

// Writes all bytes to the descriptor and closes it, whatever happens: 0, or the errno of the
// step that failed. A full disk may only show at the close.
int writeAllAndClose(int descriptor, const uint8_t* data, std::size_t size);

} // namespace talvo
