#include "Platform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

namespace Platform {

namespace {

bool environmentSet(const char *name)
{
    const char *value = std::getenv(name);
    return value && *value;
}

} // namespace

bool displayAvailable(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    }
#ifdef __APPLE__
    return true;
#else
    return environmentSet("QT_QPA_PLATFORM") || environmentSet("DISPLAY") ||
           environmentSet("WAYLAND_DISPLAY");
#endif
}

bool stderrIsTerminal()
{
    return isatty(fileno(stderr)) != 0;
}

} // namespace Platform
