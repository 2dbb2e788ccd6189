#include "PinFile.h"

#include "platform/secret/SecretFileRead.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace talvo::sim {

namespace {

// A PIN is a line of text; a file much larger than that is no PIN file.
constexpr std::size_t kMaxPinFileSize = 1024;

bool refuse(const std::filesystem::path& file, const std::string& reason, std::string* error)
{
    if (error)
        *error = "the PIN file " + file.string() + " " + reason;
    return false;
}

std::string whyNotPrivate(const std::filesystem::path& file, const SecretFileRead& read)
{
    if (read.owner != ::geteuid())
        return "belongs to another user (uid " + std::to_string(read.owner) + ")";
    char mode[8] = {};
    std::snprintf(mode, sizeof mode, "%04o", read.mode);
    return std::string("may be read or changed by other users (mode ") + mode +
           "); make it private: chmod 600 " + file.string();
}

} // namespace

bool readPinFile(const std::filesystem::path& file, std::string& pin, std::string* error)
{
    SecretFileRead read;
    readSecretFile(file.c_str(), kMaxPinFileSize, SecretFileRead::Links::Refuse, read);
    switch (read.outcome) {
    case SecretFileRead::Outcome::IsLink:
        return refuse(file, "is a symbolic link", error);
    case SecretFileRead::Outcome::CannotOpen:
        return refuse(file, std::string("cannot be opened: ") + std::strerror(read.error), error);
    case SecretFileRead::Outcome::NotRegular:
        return refuse(file, "is not a regular file", error);
    case SecretFileRead::Outcome::CannotRead:
        if (!read.isPrivate())
            return refuse(file, whyNotPrivate(file, read), error);
        return refuse(file, std::string("cannot be read: ") + std::strerror(read.error), error);
    case SecretFileRead::Outcome::TooLarge:
    case SecretFileRead::Outcome::Read:
        break;
    }
    if (!read.isPrivate())
        return refuse(file, whyNotPrivate(file, read), error);
    if (read.outcome == SecretFileRead::Outcome::TooLarge)
        return refuse(file, "is larger than " + std::to_string(kMaxPinFileSize) + " bytes", error);
    std::string line = read.lines(1).front();
    if (line.empty() || line.find('\0') != std::string::npos) {
        ::explicit_bzero(line.data(), line.size());
        return refuse(file, "holds no PIN on its first line", error);
    }
    pin = std::move(line);
    return true;
}

} // namespace talvo::sim
