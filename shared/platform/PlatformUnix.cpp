#include "Platform.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include <unistd.h>

namespace Platform {

namespace {

// Written only by the signal handler, read by stopSignal().
volatile std::sig_atomic_t caughtSignal = 0;

void noteStopSignal(int number)
{
    if (caughtSignal == 0)
        caughtSignal = number;
}

void setStopHandler(void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    for (const int number : {SIGINT, SIGTERM, SIGHUP})
        sigaction(number, &action, nullptr);
}

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

void catchStopSignals()
{
    caughtSignal = 0;
    setStopHandler(noteStopSignal);
}

void releaseStopSignals()
{
    setStopHandler(SIG_DFL);
}

int stopSignal()
{
    return caughtSignal;
}

} // namespace Platform
