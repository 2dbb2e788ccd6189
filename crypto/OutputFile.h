#pragma once

#include "StdioFile.h"
#include "UnnamedFile.h"

#include <QByteArray>
#include <QString>

#include <sys/types.h>

namespace talvo {

// A secure message file being written. A regular file (or none yet) is written beside, in a
// file that takes the name only once it is complete and on disk, so that a failed or killed
// pack leaves the output as it was or absent; a pipe or device is written directly.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // False when the output cannot be written or nothing can be made beside it. A pipe without
    // a reader is waited for, unless waitForReader is false: then it fails at once.
    bool open(const QString& path, bool waitForReader);
    std::FILE* stream() const { return m_stream.get(); }
    // True when the stream is open on the output as it is now.
    bool isOutput(std::FILE* file) const;
    // Flushes it to disk and gives it the output's name; false when that fails.
    bool commit();

private:
    bool openDirectly(const QByteArray& name, bool waitForReader);
    bool openBeside();

    QByteArray m_name;
    QByteArray m_namedTemporary;
    UnnamedFile m_unnamed;
    StdioFile m_stream;
    bool m_direct = false;
    bool m_outputExists = false;
    unsigned m_mode = 0;
    dev_t m_device = 0;
    ino_t m_inode = 0;
};

} // namespace talvo
