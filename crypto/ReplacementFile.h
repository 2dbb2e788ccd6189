#pragma once

#include "StdioFile.h"
#include "UnnamedFile.h"

#include <QByteArray>
#include <QString>

#include <sys/types.h>

namespace talvo {

// The content that is to become a target's, kept in an unnamed file in the target's own
// directory until it is complete and checked, so that neither a failure nor a killed run
// leaves it anywhere. An existing target is then written in place, keeping its owner, group,
// mode, other links and extended attributes; a new one is the unnamed file linked in.
class ReplacementFile {
public:
    ReplacementFile() = default;
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // A target reached through a link is written where the link leads. False when the target
    // is there but cannot be written or is no regular file, when a link leads nowhere, or when
    // no file can be made beside it.
    bool create(const QString& targetPath);

    // Open for writing and reading back.
    std::FILE* stream() const { return m_stream.get(); }
    // True when the stream is open on the target as it is now (the same file by another name).
    bool isTarget(std::FILE* file) const;

    // Puts the content under the target's name, on disk before it returns; false when that
    // fails. Room is taken before the first byte reaches an existing target, so a full disk
    // leaves it as it was; only an I/O error or a kill during the copy leaves it part written.
    bool commit();

private:
    bool writeInPlace();
    bool linkInNew();

    QByteArray m_targetName;
    UnnamedFile m_content;
    StdioFile m_stream;
    int m_target = -1;
};

} // namespace talvo
