#pragma once

#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace talvo::keytool {

// The first lines of a small file that holds a password or PINs for a script: each without
// its line end ("\n" or "\r\n"); lines the file lacks are empty.
class SecretFile {
public:
    // Nothing, with the reason in error, when the file cannot be read or is not a small
    // regular file. A file that other users may read or change is still read, with a warning
    // to say so (as ssh warns of a loose key file).
    static std::optional<std::vector<std::string>> readLines(const QString& path, std::size_t count,
                                                             QString* error, QString* warning);
};

} // namespace talvo::keytool
