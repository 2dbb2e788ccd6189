#pragma once

#include <string>

namespace talvo::pdf {

// A new file in the directory of the file it is to replace, which takes that file's name only
// when committed (written out to the disk first); otherwise it is removed when dropped.
class PendingFile {
public:
    // False, with the key holder's reason, when the directory takes no new file.
    bool create(const std::string& target, std::string& error);
    ~PendingFile();
    PendingFile() = default;
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    int descriptor() const { return m_descriptor; }
    const std::string& path() const { return m_path; }
    bool commit(std::string& error);

private:
    void drop();

    std::string m_target;
    std::string m_path;
    int m_descriptor = -1;
};

} // namespace talvo::pdf
