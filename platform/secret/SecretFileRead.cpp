#include "SecretFileRead.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace talvo {

SecretFileRead::~SecretFileRead()
{
    ::explicit_bzero(content.data(), content.size());
}

bool SecretFileRead::isPrivate() const
{
    return owner == ::geteuid() && (mode & 077) == 0;
}

std::vector<std::string> SecretFileRead::lines(std::size_t count) const
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (lines.size() < count) {
        if (start >= content.size()) {
            lines.emplace_back();
            continue;
        }
        const std::size_t end = content.find('\n', start);
        std::string line = content.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end == std::string::npos ? content.size() : end + 1;
    }
    return lines;
}

void readSecretFile(const char* path, std::size_t maxBytes, SecretFileRead::Links links, SecretFileRead& read)
{
    using Outcome = SecretFileRead::Outcome;
    const int flags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC |
                      (links == SecretFileRead::Links::Refuse ? O_NOFOLLOW : 0);
    const int descriptor = ::open(path, flags);
    if (descriptor < 0) {
        read.error = errno;
        read.outcome = read.error == ELOOP && links == SecretFileRead::Links::Refuse ? Outcome::IsLink
                                                                                     : Outcome::CannotOpen;
        return;
    }
    struct stat info {};
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(descriptor);
        read.outcome = Outcome::NotRegular;
        return;
    }
    read.mode = info.st_mode & 07777;
    read.owner = info.st_uid;
    // One byte more than allowed tells a file that grew past the size it had.
    read.content.assign(maxBytes + 1, '\0');
    std::size_t done = 0;
    while (done < read.content.size()) {
        const ssize_t got = ::read(descriptor, read.content.data() + done, read.content.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            read.error = errno;
            ::close(descriptor);
            read.outcome = Outcome::CannotRead;
            return;
        }
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    ::close(descriptor);
    ::explicit_bzero(read.content.data() + done, read.content.size() - done);
    read.content.resize(done);
    read.outcome = done > maxBytes ? Outcome::TooLarge : Outcome::Read;
}

} // namespace talvo
