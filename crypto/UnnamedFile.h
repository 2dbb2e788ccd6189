#pragma once

#include <QByteArray>

namespace talvo {

// A file without a name in a directory, readable and writable by its owner alone, that takes
// a name only once its content is whole: a run killed before then leaves nothing behind. Where
// the file system has no unnamed files, a named one is made and unlinked at once, so that it
// is empty for the moment it has a name and can never be linked in; it is then copied.
class UnnamedFile {
public:
    UnnamedFile() = default;
    ~UnnamedFile();
    UnnamedFile(const UnnamedFile&) = delete;
    UnnamedFile& operator=(const UnnamedFile&) = delete;

    // False with errno when nothing could be made in the directory.
    bool create(const QByteArray& directory);
    int descriptor() const { return m_descriptor; }
    // A stream adopted the descriptor and closes it; it stays known for linking.
    void adopted() { m_owned = false; }
    // False for the named file that a file system without unnamed ones gave instead.
    bool linkable() const { return m_linkable; }

    // Links the file in under a name that must not exist yet; false with errno, EXDEV when it
    // cannot be linked and has to be copied.
    bool linkAs(const QByteArray& name) const;

private:
    int m_descriptor = -1;
    bool m_owned = true;
    bool m_linkable = false;
};

// The directory part of a file name ("." for a bare name).
QByteArray directoryOf(const QByteArray& name);
// Makes the directory's entries durable (a rename or link in it); false with errno.
bool syncDirectory(const QByteArray& directory);
// The name itself, or where a link at it leads; empty for a link that leads nowhere.
QByteArray resolvedName(const QByteArray& name);
// The mode a file created with 0666 would get under the current umask.
unsigned newFileMode();

} // namespace talvo
