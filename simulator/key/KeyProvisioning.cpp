#include "KeyProvisioning.h"

#include "FileLock.h"
#include "KeyCertificate.h"
#include "KeyStore.h"
#include "simulator/common/ContainerKeys.h"
#include "simulator/common/SimDirectory.h"

namespace talvo::sim {

namespace {

bool makeDirectory(const std::filesystem::path& directory, std::string* error)
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

bool copyFile(const std::filesystem::path& from, const std::filesystem::path& to, std::string* error)
{
    std::string bytes;
    return readWholeFile(from, bytes, error) && writeFileAtomically(to, bytes, error);
}

bool newContainer(const KeyStore& store, const std::string& serial, std::string* error)
{
    if (!createContainer(store.directory(), serial, error))
        return false;
    const EvpPkeyPtr key = loadPrivateKey(containerFiles(store.directory()).signatureKey, error);
    std::string der;
    return key && makeKeyCertificate(key.get(), serial, der, error) &&
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
    std::error_code ec;
    std::filesystem::remove(unpluggedMarker(store.directory()), ec);
    return true;
}

bool lockForWriting(FileLock& lock, const KeyStore& store, std::string* error)
{
    if (lock.acquire(store.lockFile(), FileLock::Mode::Exclusive, error) == FileLock::Result::Locked)
        return true;
    if (error && error->empty())
        *error = "cannot lock " + store.lockFile().string();
    return false;
}

} // namespace

bool createKey(const std::filesystem::path& directory, KeyContent content,
               const std::filesystem::path& containerSource, std::string* error)
{
    const KeyStore store(directory);
    FileLock lock;
    if (!makeDirectory(directory, error) || !lockForWriting(lock, store, error))
        return false;
    const KeyState state = demoKeyState(content);
    const bool container = containerSource.empty() ? newContainer(store, state.serial, error)
                                                   : copyContainer(containerSource, store, error);
    return container && writeContent(store, state, error);
}

bool resetKey(const std::filesystem::path& directory, std::string* error)
{
    const KeyStore store(directory);
    FileLock lock;
    if (!makeDirectory(directory, error) || !lockForWriting(lock, store, error))
        return false;
    const KeyState state = demoKeyState(KeyContent::Demo);
    if (!containerIsWhole(directory) && !newContainer(store, state.serial, error))
        return false;
    return writeContent(store, state, error);
}

bool containerIsWhole(const std::filesystem::path& directory)
{
    const KeyStore store(directory);
    const ContainerFiles files = containerFiles(directory);
    std::string der;
    return containerExists(directory) && loadPrivateKey(files.signatureKey, nullptr) &&
           loadPrivateKey(files.exchangeKey, nullptr) && store.readCertificate(der, nullptr);
}

KeyStore::LoadResult readKeyState(const std::filesystem::path& directory, KeyState& state, std::string* error)
{
    const KeyStore store(directory);
    FileLock lock;
    switch (lock.acquire(store.lockFile(), FileLock::Mode::Shared, error)) {
    case FileLock::Result::NoDirectory:
        return KeyStore::LoadResult::NoKey;
    case FileLock::Result::Failed:
        return KeyStore::LoadResult::Damaged;
    case FileLock::Result::Locked:
        break;
    }
    return store.load(state, error);
}

bool changeKeyState(const std::filesystem::path& directory, const StateChange& change, std::string* error)
{
    const KeyStore store(directory);
    FileLock lock;
    KeyState state;
    switch (lock.acquire(store.lockFile(), FileLock::Mode::Exclusive, error)) {
    case FileLock::Result::NoDirectory:
        if (error)
            *error = noKeyMessage(directory);
        return false;
    case FileLock::Result::Failed:
        return false;
    case FileLock::Result::Locked:
        break;
    }
    switch (store.load(state, error)) {
    case KeyStore::LoadResult::NoKey:
        if (error)
            *error = noKeyMessage(directory);
        return false;
    case KeyStore::LoadResult::Damaged:
        return false;
    case KeyStore::LoadResult::Loaded:
        break;
    }
    return change(state, error) && store.save(state, error);
}

bool setPlugged(const std::filesystem::path& directory, bool plugged, std::string* error)
{
    if (!KeyStore(directory).hasState()) {
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
