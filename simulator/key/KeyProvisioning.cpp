#include "KeyProvisioning.h"

#include "FileLock.h"
#include "KeyCertificate.h"
#include "KeyStore.h"
#include "TokenProvisioning.h"
#include "simulator/common/ContainerKeys.h"
#include "simulator/common/PemContainerKey.h"
#include "simulator/common/SimDirectory.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <vector>

namespace talvo::sim {

bool makeStateDirectory(const std::filesystem::path& directory, std::string* error)
{
    std::error_code ec;
    if (std::filesystem::create_directories(directory, ec))
        std::filesystem::permissions(directory, std::filesystem::perms::owner_all, ec);
    if (!std::filesystem::is_directory(directory, ec)) {
        if (error)
            *error = "cannot create the directory " + directory.string();
        return false;
    }
    return true;
}

bool lockStateForWriting(FileLock& lock, const KeyStore& store, std::string* error)
{
    if (store.lock(lock, FileLock::Mode::Exclusive, error) == FileLock::Result::Locked)
        return true;
    if (error && error->empty())
        *error = "cannot lock " + store.lockFile().string();
    return false;
}

namespace {

// The files that make up a container are small; this bounds the copy of one.
constexpr std::size_t kMaxCopiedFile = 64 * 1024;

bool copyFile(const std::filesystem::path& from, const std::filesystem::path& to, std::string* error)
{
    std::string bytes;
    return readKeyFile(from, kMaxCopiedFile, bytes, error) == FileRead::Read &&
           writeFileAtomically(to, bytes, error);
}

std::vector<std::filesystem::path> containerPaths(const KeyStore& store)
{
    const ContainerFiles files = containerFiles(store.directory());
    return {files.signatureKey, files.exchangeKey, files.name, store.certificateFile()};
}

bool exists(const std::filesystem::path& file)
{
    struct stat info {};
    return ::lstat(file.c_str(), &info) == 0 || errno != ENOENT;
}

// A directory in a file's place cannot be renamed over: refused before anything is written.
bool noDirectoryInPlace(const KeyStore& store, std::string* error)
{
    std::vector<std::filesystem::path> files = containerPaths(store);
    files.push_back(store.stateFile());
    for (const std::filesystem::path& file : files) {
        struct stat info {};
        if (::lstat(file.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            if (error)
                *error = file.string() + " is a directory; nothing was changed";
            return false;
        }
    }
    return true;
}

bool newContainer(const KeyStore& store, const std::string& serial, std::string* error)
{
    if (!createContainer(store.directory(), serial, error))
        return false;
    const std::unique_ptr<PemContainerKey> key =
        PemContainerKey::load(containerFiles(store.directory()).signatureKey, error);
    std::string der;
    return key && makeKeyCertificate(*key, serial, der, error) &&
           writeFileAtomically(store.certificateFile(), der, error);
}

bool copyContainer(const std::filesystem::path& source, const KeyStore& store, std::string* error)
{
    const ContainerFiles from = containerFiles(source);
    const ContainerFiles to = containerFiles(store.directory());
    return copyFile(from.signatureKey, to.signatureKey, error) &&
           copyFile(from.exchangeKey, to.exchangeKey, error) && copyFile(from.name, to.name, error) &&
           copyFile(KeyStore(source).certificateFile(), store.certificateFile(), error);
}

// Pictures first, the record last: until the record is replaced, the old key stays whole.
bool writeContent(const KeyStore& store, const KeyState& state, std::string* error)
{
    for (int32_t number = kFirstSealNumber; number <= kLastSealNumber; ++number) {
        if (!state.seal(number).inUse)
            continue;
        if (!store.writePicture(number, std::string(demoPicture(number)), error))
            return false;
    }
    if (!store.save(state, error))
        return false;
    for (int32_t number = kFirstSealNumber; number <= kLastSealNumber; ++number) {
        if (!state.seal(number).inUse)
            store.removePicture(number);
    }
    // The directory names no token any more: the key is its files again.
    std::error_code ec;
    std::filesystem::remove(tokenReferenceFile(store.directory()), ec);
    std::filesystem::remove(unpluggedMarker(store.directory()), ec);
    return true;
}

} // namespace

bool createKey(const std::filesystem::path& directory, KeyContent content,
               const std::filesystem::path& containerSource, std::string* error)
{
    const KeyStore store(directory);
    FileLock lock;
    if (!makeStateDirectory(directory, error) || !lockStateForWriting(lock, store, error) ||
        !noDirectoryInPlace(store, error))
        return false;
    const KeyState state = demoKeyState(content);
    const bool container = containerSource.empty() ? newContainer(store, state.serial, error)
                                                   : copyContainer(containerSource, store, error);
    return container && writeContent(store, state, error);
}

bool resetKey(const std::filesystem::path& directory, std::string* error)
{
    if (hasTokenReference(directory)) {
        TokenReference reference;
        return readTokenReference(directory, reference, error) == ReferenceRead::Read &&
               provisionTokenKey(directory, reference, KeyContent::Demo, TokenPairs::KeepWhole, error);
    }
    const KeyStore store(directory);
    FileLock lock;
    if (!makeStateDirectory(directory, error) || !lockStateForWriting(lock, store, error) ||
        !noDirectoryInPlace(store, error))
        return false;
    const KeyState state = demoKeyState(KeyContent::Demo);
    if (!containerIsWhole(directory) && !newContainer(store, state.serial, error))
        return false;
    return writeContent(store, state, error);
}

CreateResult createKeyIfMissing(const std::filesystem::path& directory, KeyContent content,
                                std::string* error)
{
    const KeyStore store(directory);
    FileLock lock;
    if (!makeStateDirectory(directory, error) || !lockStateForWriting(lock, store, error))
        return CreateResult::Refused;
    const std::string untouched =
        " (nothing was changed; talvo-sim reset mends the state and keeps whole key "
        "pairs, talvo-sim create makes a new key)";
    if (store.hasState() || hasTokenReference(directory)) {
        KeyState state;
        if (openKeyBackend(directory)->load(state, error) == KeyStore::LoadResult::Loaded)
            return CreateResult::AlreadyThere;
        if (error)
            *error += untouched;
        return CreateResult::Refused;
    }
    // No state: key pairs that are there may already have made secure message files, so
    // they are kept, and a container that is only partly there is damage, not absence.
    const std::vector<std::filesystem::path> files = containerPaths(store);
    const auto present = std::count_if(files.begin(), files.end(), exists);
    std::string reason;
    if (present != 0 && !containerIsWhole(directory, &reason)) {
        if (error)
            *error = "damaged key in " + directory.string() + ": " + reason + untouched;
        return CreateResult::Refused;
    }
    const KeyState state = demoKeyState(content);
    if (present == 0 && !newContainer(store, state.serial, error))
        return CreateResult::Refused;
    if (!writeContent(store, state, error))
        return CreateResult::Refused;
    return present == 0 ? CreateResult::Created : CreateResult::CreatedKeepingPairs;
}

bool containerIsWhole(const std::filesystem::path& directory, std::string* reason)
{
    const KeyStore store(directory);
    const ContainerFiles files = containerFiles(directory);
    std::string der;
    std::string name;
    return readContainerName(directory, name, reason) && loadPrivateKey(files.signatureKey, reason) &&
           loadPrivateKey(files.exchangeKey, reason) && store.readCertificate(der, reason);
}

KeyStore::LoadResult readKeyState(const std::filesystem::path& directory, KeyState& state, std::string* error)
{
    const KeyStore store(directory);
    FileLock lock;
    switch (store.lock(lock, FileLock::Mode::Shared, error)) {
    case FileLock::Result::NoDirectory:
        return KeyStore::LoadResult::NoKey;
    case FileLock::Result::Failed:
    case FileLock::Result::Busy: // refused with the reason, as a damaged key is
        return KeyStore::LoadResult::Damaged;
    case FileLock::Result::Locked:
        break;
    }
    return openKeyBackend(directory)->load(state, error);
}

bool changeKeyState(const std::filesystem::path& directory, const StateChange& change, std::string* error)
{
    const KeyStore store(directory);
    FileLock lock;
    KeyState state;
    switch (store.lock(lock, FileLock::Mode::Exclusive, error)) {
    case FileLock::Result::NoDirectory:
        if (error)
            *error = noKeyMessage(directory);
        return false;
    case FileLock::Result::Failed:
    case FileLock::Result::Busy:
        return false;
    case FileLock::Result::Locked:
        break;
    }
    const std::unique_ptr<KeyBackend> backend = openKeyBackend(directory);
    switch (backend->load(state, error)) {
    case KeyStore::LoadResult::NoKey:
        if (error && !hasTokenReference(directory))
            *error = noKeyMessage(directory);
        return false;
    case KeyStore::LoadResult::Damaged:
        return false;
    case KeyStore::LoadResult::Loaded:
        break;
    }
    return change(state, error) && backend->save(state, error);
}

bool setPlugged(const std::filesystem::path& directory, bool plugged, std::string* error)
{
    const KeyStore store(directory);
    FileLock lock;
    // Under the lock, so that a writer's clean-up never takes the marker's temporary file.
    const FileLock::Result locked = store.lock(lock, FileLock::Mode::Exclusive, error);
    if (locked == FileLock::Result::Failed || locked == FileLock::Result::Busy)
        return false;
    if (locked == FileLock::Result::NoDirectory || (!store.hasState() && !hasTokenReference(directory))) {
        if (error)
            *error = noKeyMessage(directory);
        return false;
    }
    const std::filesystem::path marker = unpluggedMarker(directory);
    if (!plugged)
        return writeFileAtomically(marker, std::string(), error);
    std::error_code ec;
    std::filesystem::remove(marker, ec);
    if (ec && error)
        *error = "cannot remove " + marker.string() + ": " + ec.message();
    return !ec;
}

std::string noKeyMessage(const std::filesystem::path& directory)
{
    return "no simulated key in " + directory.string() + " (make one with: talvo-sim create)";
}

} // namespace talvo::sim
