#include "PrivateDirectory.h"

#include <QDir>
#include <QStandardPaths>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace talvo {

namespace {

QString baseDirectory()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(QString::fromLocal8Bit(runtime)).exists())
        return QString::fromLocal8Bit(runtime);
    const QByteArray cache = qgetenv("XDG_CACHE_HOME");
    if (!cache.isEmpty())
        return QString::fromLocal8Bit(cache);
    return QDir::homePath() + QStringLiteral("/.cache");
}

// A directory that someone else made or linked in our place is not used.
bool isOursAndPrivate(const QByteArray& path)
{
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0)
        return false;
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
        return false;
    if ((info.st_mode & 0777) != 0700 && ::chmod(path.constData(), 0700) != 0)
        return false;
    return true;
}

} // namespace

QString privateDirectory()
{
    const QString base = baseDirectory();
    QDir().mkpath(base);
    const QString directory = base + QStringLiteral("/talvo-tool");
    const QByteArray path = QFile::encodeName(directory);
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    return isOursAndPrivate(path) ? directory : QString();
}

QString privateFilePath(const QString& fileName)
{
    const QString directory = privateDirectory();
    return directory.isEmpty() ? QString() : directory + QLatin1Char('/') + fileName;
}

} // namespace talvo
