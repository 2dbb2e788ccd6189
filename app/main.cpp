#include "HeadlessTour.h"
#include "ToolApp.h"

#include <QStandardPaths>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool hasDisplay()
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform)
        return true;
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

} // namespace

int main(int argc, char** argv)
{
    QString tourDirectory;
    bool tour = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--tour") == 0 && i + 1 < argc) {
            tour = true;
            tourDirectory = QString::fromLocal8Bit(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--help") == 0) {
            std::printf("usage: %s [--tour DIRECTORY]\n"
                        "Without --tour the tool opens its login window. With --tour, or when no display\n"
                        "is found, it renders every window into PNG files in DIRECTORY instead.\n",
                        argv[0]);
            return 0;
        }
    }
    if (!tour && !hasDisplay()) {
        tour = true;
        tourDirectory = QStringLiteral("talvo-tour");
        std::fprintf(stderr, "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set); rendering every "
                             "window into ./talvo-tour instead.\n");
    }
    if (tour)
        qputenv("QT_QPA_PLATFORM", "offscreen");

    talvo::ToolApp app(argc, argv);
    if (tour)
        return talvo::runHeadlessTour(tourDirectory);
    app.initInstance();
    return 0;
}
