#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace talvo {

// A small file that holds a password or a PIN, as read: a regular file at most maxBytes long,
// opened without waiting (a pipe or device named by mistake cannot hang the program). What
// it tells of its owner and mode is for the caller's rule: a warning, or a refusal.
struct SecretFileRead {
    enum class Outcome { Read, CannotOpen, IsLink, NotRegular, TooLarge, CannotRead };
    enum class Links { Follow, Refuse };

    SecretFileRead() = default;
    ~SecretFileRead();
    SecretFileRead(const SecretFileRead&) = delete;
    SecretFileRead& operator=(const SecretFileRead&) = delete;

    Outcome outcome = Outcome::CannotOpen;
    // The errno of CannotOpen and CannotRead.
    int error = 0;
    unsigned mode = 0;
    unsigned owner = 0;
    // Wiped when this goes.
    std::string content;

    // Owned by the effective user, and neither readable nor writable by anyone else.
    bool isPrivate() const;
    // The first lines, each without its line end ("\n" or "\r\n"); lines the file lacks are empty.
    std::vector<std::string> lines(std::size_t count) const;
};

void readSecretFile(const char* path, std::size_t maxBytes, SecretFileRead::Links links,
                    SecretFileRead& read);

} // namespace talvo
