#pragma once

#include "DemoKey.h"

#include <filesystem>
#include <string>

namespace talvo::sim {

// Writes a whole new key into the directory, made when missing: the key container copied from
// containerSource (signature, exchange, name and certificate files of a key made before) or,
// when that is empty, newly generated with its certificate; then the record and the pictures.
// The new key is plugged and has no injected failures.
bool createKey(const std::filesystem::path& directory, KeyContent content,
               const std::filesystem::path& containerSource, std::string* error);

// Back to the demo content: record, seals, no failures, an empty certificate store, plugged.
// The container and certificate are kept when they are whole, else made anew. A damaged
// state is replaced: this is the way to mend one.
bool resetKey(const std::filesystem::path& directory, std::string* error);

} // namespace talvo::sim
