#include "ToolApp.h"

#include <QByteArray>

#include <cstdio>
#include <cstdlib>

namespace {

// Platforms that draw into memory only: a login there would wait for a click nobody can give.
bool drawsNowhere(const QByteArray& platform)
{
    return platform.startsWith("offscreen") || platform.startsWith("minimal:") || platform == "minimal";
}

bool isSet(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

int noDisplay(const char* why)
{
    std::fprintf(stderr, "talvo-tool needs a display: %s.\n", why);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    // Said plainly, instead of the platform plugin's abort or a login that nobody sees.
    const QByteArray requested = qgetenv("QT_QPA_PLATFORM");
    if (drawsNowhere(requested))
        return noDisplay("the offscreen and minimal platforms show nothing");
    if (requested.isEmpty() && !isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY"))
        return noDisplay("neither DISPLAY nor WAYLAND_DISPLAY is set");
    talvo::ToolApp app(argc, argv);
    // A platform named on the command line.
    if (drawsNowhere(talvo::ToolApp::platformName().toUtf8()))
        return noDisplay("the offscreen and minimal platforms show nothing");
    app.initInstance();
    return 0;
}
