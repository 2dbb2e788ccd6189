#include "PrivateDirectory.h"

#include <QDir>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
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

// HOME, or where the user's entry puts it when HOME is unset (as in some cron setups).
QString homeDirectory()
{
    const QByteArray home = qgetenv("HOME");
    if (!home.isEmpty())
        return QString::fromLocal8Bit(home);
    const passwd* entry = ::getpwuid(::geteuid());
    return entry && entry->pw_dir ? QString::fromLocal8Bit(entry->pw_dir) : QDir::homePath();
}

// While the directory was loose, other users could plant files under the fixed names or
// beside them; once it is tightened, nothing of theirs stays.
void removeWhatOthersOwn(int directory)
{
    const int listing = ::dup(directory);
    DIR* entries = listing >= 0 ? ::fdopendir(listing) : nullptr;
    if (!entries) {
        if (listing >= 0)
            ::close(listing);
        return;
    }
    while (const dirent* entry = ::readdir(entries)) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        struct stat info {};
        if (::fstatat(directory, name, &info, AT_SYMLINK_NOFOLLOW) == 0 && info.st_uid != ::getuid())
            ::unlinkat(directory, name, S_ISDIR(info.st_mode) ? AT_REMOVEDIR : 0);
    }
    ::closedir(entries);
}

// A directory that someone else made or linked in our place is not used.
bool isOursAndPrivate(const QByteArray& path)
{
    const int directory = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (directory < 0)
        return false;
    struct stat info {};
    bool usable = ::fstat(directory, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid();
    if (usable && (info.st_mode & 0777) != 0700) {
        usable = ::fchmod(directory, 0700) == 0;
        if (usable)
            removeWhatOthersOwn(directory);
    }
    ::close(directory);
    return usable;
}

// talvo-tool below base, made for the user alone; empty when it cannot be, or is not ours.
QString privateSubdirectory(const QString& base)
{
    QDir().mkpath(base);
    const QString directory = base + QStringLiteral("/talvo-tool");
    const QByteArray path = QFile::encodeName(directory);
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    return isOursAndPrivate(path) ? directory : QString();
}

} // namespace

QString privateDirectory()
{
    return privateSubdirectory(baseDirectory());
}

QString privateStateDirectory()
{
    return privateSubdirectory(homeDirectory() + QStringLiteral("/.local/state"));
}

QString privateFilePath(const QString& fileName)
{
    const QString directory = privateDirectory();
    return directory.isEmpty() ? QString() : directory + QLatin1Char('/') + fileName;
}

} // namespace talvo
