#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <ctime>

namespace talvo {

// A picture file the operator named (a seal picture), opened for reading and closed when this goes. Only
// regular files count as opened: a directory, a pipe or a device is no picture file, and a pipe would block
// the dialog forever.
class PictureFileReader {
public:
    explicit PictureFileReader(const QString& path);
    ~PictureFileReader();
    PictureFileReader(const PictureFileReader&) = delete;
    PictureFileReader& operator=(const PictureFileReader&) = delete;

    bool isOpen() const { return m_descriptor >= 0; }
    // Why it did not open, for the file-error text: the errno, EACCES for no regular file.
    int openError() const { return m_openError; }
    int64_t size() const { return m_size; }
    // Reads exactly that many bytes from the start; 0, the errno of the failure, or kChanged
    // when the file is no longer what it was when it opened (longer, shorter or written to).
    int readExactly(uint8_t* buffer, std::size_t size);
    static constexpr int kChanged = -1;

private:
    bool unchangedSinceOpen() const;

    int m_descriptor = -1;
    int m_openError = 0;
    int64_t m_size = 0;
    struct timespec m_modified {};
};

} // namespace talvo
