#include "OutputPath.h"

#include "platform/FileErrorText.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

namespace talvo::keytool {

QString outputPathProblem(const QString& path)
{
    const QFileInfo file(path);
    if (path.isEmpty() || !file.absoluteDir().exists())
        return fileErrorText(path, ENOENT);
    if (file.isDir())
        return fileErrorText(path, EISDIR);
    return QString();
}

} // namespace talvo::keytool
