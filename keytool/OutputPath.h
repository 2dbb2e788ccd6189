#pragma once

#include <QString>

namespace talvo::keytool {

// Why a file could not be written at the path, found before the key is read: the framework's
// file-error text for a missing folder or a folder in the file's place. Empty when the path
// can take a file; writing may still fail, and then says so itself.
QString outputPathProblem(const QString& path);

} // namespace talvo::keytool
