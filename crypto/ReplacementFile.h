#pragma once

#include "StdioFile.h"

#include <QByteArray>
#include <QString>

#include <sys/types.h>

namespace talvo {

// A new file that takes a target's place only once it is complete and checked. It is made
// exclusively in the target's own directory (so that it can be renamed over the target), may
// be read by its owner alone while it fills, and is removed again unless it is committed: until
// then the target stays exactly as it was, or absent.
class ReplacementFile {
public:
    ReplacementFile() = default;
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // A target reached through a link is replaced where the link leads. False when the target
    // is there but cannot be written, when a link leads nowhere, or when no file can be made
    // beside it.
    bool create(const QString& targetPath);

    // Open for writing and reading back.
    std::FILE* stream() const { return m_stream.get(); }
    // True when the stream is open on the target as it is now (the same file by another name).
    bool isTarget(std::FILE* file) const;

    // Gives the file the old target's mode (or the one a new file would get) and renames it
    // over the target; false, with the file removed, when that fails.
    bool commit();

private:
    void discard();

    QByteArray m_targetName;
    QByteArray m_name;
    StdioFile m_stream;
    mode_t m_mode = 0;
    bool m_targetExists = false;
    dev_t m_targetDevice = 0;
    ino_t m_targetInode = 0;
};

} // namespace talvo
