#pragma once

#include <cstdio>
#include <sys/types.h>

namespace talvo {

// A file that is read once from start to end, whose pages are given back to the page cache
// behind the reader every few megabytes. What is written meanwhile then takes those pages
// instead of memory the system has not touched for a while, which costs more than the copy
// itself on a virtual machine (1 GB: seconds instead of tenths). Only regular files have
// pages to give back; a pipe or device is read as it is.
class ReadOnceFile {
public:
    explicit ReadOnceFile(std::FILE* file);

    // The bytes read so far; their pages go once a few megabytes have gathered.
    void consumed(std::size_t count);

private:
    int m_descriptor = -1;
    off_t m_read = 0;
    off_t m_released = 0;
};

} // namespace talvo
