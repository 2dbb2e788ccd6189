// GLib's headers name struct members "signals", which Qt defines as a keyword: they come first.
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include "GioDesktopAssociations.h"

#include "platform/core/DebugTrace.h"

#include <QFile>

#include <memory>

namespace talvo {

namespace {

struct GObjectUnref {
    void operator()(void* object) const { g_object_unref(object); }
};
template <class T> using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

} // namespace

QString GioDesktopAssociations::defaultApplication(const QStringList& mimeTypes)
{
    for (const QString& type : mimeTypes) {
        const GObjectPtr<GAppInfo> application(
            g_app_info_get_default_for_type(type.toUtf8().constData(), FALSE));
        const char* id = application ? g_app_info_get_id(application.get()) : nullptr;
        if (id && *id)
            return QString::fromUtf8(id);
    }
    return {};
}

bool GioDesktopAssociations::launch(const QString& desktopEntry, const QString& path)
{
    const GObjectPtr<GDesktopAppInfo> application(g_desktop_app_info_new(desktopEntry.toUtf8().constData()));
    if (!application)
        return false;
    const GObjectPtr<GFile> file(g_file_new_for_path(QFile::encodeName(path).constData()));
    GList files{file.get(), nullptr, nullptr};
    GError* error = nullptr;
    // GIO spawns the viewer detached: it is no child of ours to be left behind.
    const bool started =
        g_app_info_launch(reinterpret_cast<GAppInfo*>(application.get()), &files, nullptr, &error);
    if (error) {
        debugTrace(desktopEntry + QStringLiteral(": ") + QString::fromUtf8(error->message));
        g_error_free(error);
    }
    return started;
}

} // namespace talvo
