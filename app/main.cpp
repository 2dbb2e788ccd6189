#include "ToolApp.h"

#include <cstdio>
#include <cstdlib>

namespace {

bool hasDisplay()
{
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    // Said plainly, instead of the platform plugin's abort.
    if (!hasDisplay()) {
        std::fprintf(stderr, "talvo-tool needs a display: neither DISPLAY nor WAYLAND_DISPLAY is set.\n");
        return 1;
    }
    talvo::ToolApp app(argc, argv);
    app.initInstance();
    return 0;
}
