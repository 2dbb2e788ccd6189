#pragma once

#include "DemoKey.h"

#include "KeyStore.h"

#include <filesystem>
#include <functional>
#include <string>

namespace talvo::sim {

// Writes a whole new key into the directory, made when missing: the key container copied from
// containerSource (signature, exchange, name and certificate files of a key made before) or,
// when that is empty, newly generated with its certificate; then the record and the pictures.
// The new key is plugged and has no injected failures.
bool createKey(const std::filesystem::path& directory, KeyContent content,
               const std::filesystem::path& containerSource, std::string* error);

// "create --if-missing": a key whose state loads is left alone; a damaged state, or a
// container that is only partly there or damaged, is refused before anything is written.
// Key pairs and a certificate that are there, whole, without a state are kept.
enum class CreateResult { Created, CreatedKeepingPairs, AlreadyThere, Refused };
CreateResult createKeyIfMissing(const std::filesystem::path& directory, KeyContent content,
                                std::string* error);

// Back to the demo content: record, seals, no failures, an empty certificate store, plugged.
// The container and certificate are kept when they are whole, else made anew. A damaged
// state is replaced: this is the way to mend one.
bool resetKey(const std::filesystem::path& directory, std::string* error);

// True when the key pairs, the container name and the certificate are all there and readable;
// else the reason names the first file that is not.
bool containerIsWhole(const std::filesystem::path& directory, std::string* reason = nullptr);

// Makes the state directory, private to its owner, when it is missing.
bool makeStateDirectory(const std::filesystem::path& directory, std::string* error);
// The directory's exclusive lock, for a writer of the whole key.
bool lockStateForWriting(FileLock& lock, const KeyStore& store, std::string* error);

// What to tell someone who asked for a key where there is none.
std::string noKeyMessage(const std::filesystem::path& directory);

// Reads the key's state under the directory's shared lock.
KeyStore::LoadResult readKeyState(const std::filesystem::path& directory, KeyState& state,
                                  std::string* error);

// Changes the state of an existing, whole key under the directory's exclusive lock; the change
// may refuse by returning false with an error.
using StateChange = std::function<bool(KeyState&, std::string*)>;
bool changeKeyState(const std::filesystem::path& directory, const StateChange& change, std::string* error);

// Pulls the key out (the unplugged marker) or plugs it back in. The key must exist.
bool setPlugged(const std::filesystem::path& directory, bool plugged, std::string* error);

} // namespace talvo::sim
