#include "OutputPath.h"

#include "platform/core/FileErrorText.h"
#include "platform/core/NativePath.h"

#include <cerrno>
#include <sys/stat.h>

namespace talvo::keytool {

namespace {

bool isDirectory(const QByteArray& name)
{
    struct stat info {};
    return ::stat(name.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

QString outputPathProblem(const QString& path)
{
    // By the name's own bytes: Qt's file classes would look at another name for one that is
    // no UTF-8.
    const QByteArray name = encodeNativePath(path);
    const qsizetype slash = name.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : name.left(slash);
    if (path.isEmpty() || !isDirectory(folder))
        return fileErrorText(path, ENOENT);
    if (isDirectory(name))
        return fileErrorText(path, EISDIR);
    return QString();
}

} // namespace talvo::keytool
