#include "Platform.h"

#include <csignal>
#include <cstdio>

#include <io.h>

namespace Platform {

namespace {

volatile std::sig_atomic_t caughtSignal = 0;

void noteStopSignal(int number)
{
    if (caughtSignal == 0)
        caughtSignal = number;
    std::signal(number, noteStopSignal); // the C runtime resets the handler on each signal
}

constexpr int stopSignals[] = {SIGINT, SIGTERM, SIGBREAK};

} // namespace

bool displayAvailable(int, char **)
{
    return true;
}

bool stderrIsTerminal()
{
    return _isatty(_fileno(stderr)) != 0;
}

void catchStopSignals()
{
    caughtSignal = 0;
    for (const int number : stopSignals)
        std::signal(number, noteStopSignal);
}

void releaseStopSignals()
{
    for (const int number : stopSignals)
        std::signal(number, SIG_DFL);
}

int stopSignal()
{
    return caughtSignal;
}

} // namespace Platform
