#include "KeyStore.h"

#include "StateCodec.h"
#include "simulator/common/PemContainerKey.h"
#include "simulator/common/SimDirectory.h"

#include <openssl/x509.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace talvo::sim {

namespace {

// The state text is a few kilobytes at most; a certificate of the key is about one.
constexpr std::size_t kMaxStateSize = 64 * 1024;
constexpr std::size_t kMaxCertificateSize = 64 * 1024;

} // namespace

KeyStore::KeyStore(std::filesystem::path directory) : m_directory(std::move(directory)) {}

std::filesystem::path KeyStore::stateFile() const
{
    return m_directory / "key.state";
}

std::filesystem::path KeyStore::lockFile() const
{
    return m_directory / ".lock";
}

std::filesystem::path KeyStore::certificateFile() const
{
    return m_directory / "certificate.der";
}

std::filesystem::path KeyStore::pictureFile(int32_t sealNumber) const
{
    return m_directory / ("seal-" + std::to_string(sealNumber) + ".picture");
}

FileLock::Result KeyStore::lock(FileLock& lock, FileLock::Mode mode, std::string* error) const
{
    switch (checkStateDirectory(m_directory, error)) {
    case DirectoryCheck::Missing:
        return FileLock::Result::NoDirectory;
    case DirectoryCheck::Refused:
        return FileLock::Result::Failed;
    case DirectoryCheck::Safe:
        break;
    }
    const FileLock::Result result = lock.acquire(lockFile(), mode, error);
    if (result == FileLock::Result::Failed && error)
        *error = "damaged key in " + m_directory.string() + ": " + *error;
    return result;
}

bool KeyStore::hasState() const
{
    struct stat info {};
    return ::lstat(stateFile().c_str(), &info) == 0 || errno != ENOENT;
}

KeyStore::LoadResult KeyStore::load(KeyState& state, std::string* error) const
{
    const auto damaged = [&](const std::string& reason) {
        if (error)
            *error = "damaged state in " + m_directory.string() + ": " + reason;
        return LoadResult::Damaged;
    };
    std::string text;
    std::string reason;
    switch (readKeyFile(stateFile(), kMaxStateSize, text, &reason)) {
    case FileRead::Missing:
        return LoadResult::NoKey;
    case FileRead::Refused:
        return damaged(reason);
    case FileRead::Read:
        break;
    }
    if (!decodeState(text, state, &reason))
        return damaged(stateFile().filename().string() + ": " + reason);
    for (int32_t number = kFirstSealNumber; number <= kLastSealNumber; ++number) {
        const SealRecord& seal = state.seal(number);
        if (!seal.inUse)
            continue;
        const std::string which = "the picture of seal " + std::to_string(number);
        struct stat info {};
        if (::lstat(pictureFile(number).c_str(), &info) != 0)
            return damaged(which + " is missing");
        if (!S_ISREG(info.st_mode))
            return damaged(which + " is not a regular file");
        if (seal.pictureSize > kMaxPictureSize)
            return damaged(which + " is larger than the key holds");
        if (static_cast<std::uintmax_t>(info.st_size) != seal.pictureSize)
            return damaged(which + " does not have the recorded size");
    }
    return LoadResult::Loaded;
}

bool KeyStore::save(const KeyState& state, std::string* error) const
{
    if (!writeFileAtomically(stateFile(), encodeState(state), error))
        return false;
    removeLeftovers(state);
    return true;
}

void KeyStore::removeLeftovers(const KeyState& state) const
{
    std::error_code ec;
    for (std::filesystem::directory_iterator entry(m_directory, ec), end; !ec && entry != end;
         entry.increment(ec)) {
        const std::string name = entry->path().filename().string();
        bool leftover = isTemporaryFileName(name);
        for (int32_t number = kFirstSealNumber; !leftover && number <= kLastSealNumber; ++number)
            leftover = !state.seal(number).inUse && name == pictureFile(number).filename().string();
        if (leftover)
            ::unlink(entry->path().c_str());
    }
}

bool KeyStore::readPicture(const KeyState& state, int32_t sealNumber, std::string& bytes,
                           std::string* error) const
{
    if (!isSealNumber(sealNumber) || !state.seal(sealNumber).inUse) {
        if (error)
            *error = "no seal " + std::to_string(sealNumber);
        return false;
    }
    const uint32_t recorded = state.seal(sealNumber).pictureSize;
    std::string reason;
    if (readKeyFile(pictureFile(sealNumber), std::min(recorded, kMaxPictureSize), bytes, &reason) !=
        FileRead::Read) {
        if (error)
            *error = "damaged state in " + m_directory.string() + ": " + reason;
        return false;
    }
    if (bytes.size() != state.seal(sealNumber).pictureSize) {
        if (error)
            *error = "damaged state in " + m_directory.string() + ": the picture of seal " +
                     std::to_string(sealNumber) + " does not have the recorded size";
        return false;
    }
    return true;
}

bool KeyStore::writePicture(int32_t sealNumber, const std::string& bytes, std::string* error) const
{
    return writeFileAtomically(pictureFile(sealNumber), bytes, error);
}

void KeyStore::removePicture(int32_t sealNumber) const
{
    std::error_code ec;
    std::filesystem::remove(pictureFile(sealNumber), ec);
}

bool KeyStore::readCertificate(std::string& der, std::string* error) const
{
    if (readKeyFile(certificateFile(), kMaxCertificateSize, der, error) != FileRead::Read)
        return false;
    const auto* cursor = reinterpret_cast<const unsigned char*>(der.data());
    const std::unique_ptr<X509, decltype(&X509_free)> certificate(
        d2i_X509(nullptr, &cursor, static_cast<long>(der.size())), X509_free);
    if (!certificate || cursor != reinterpret_cast<const unsigned char*>(der.data() + der.size())) {
        if (error)
            *error = "damaged certificate in " + certificateFile().string();
        return false;
    }
    return true;
}

std::unique_ptr<ContainerKey> KeyStore::containerKey(KeyPair pair, std::string* error) const
{
    const ContainerFiles files = containerFiles(m_directory);
    return PemContainerKey::load(pair == KeyPair::Signature ? files.signatureKey : files.exchangeKey, error);
}

} // namespace talvo::sim
