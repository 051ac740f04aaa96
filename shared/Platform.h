#pragma once

// What differs between the systems the tools run on, in one place: whether a window can be
// shown at all, and whether a stream goes to a terminal. One source file per system implements
// it (chosen in CMake), so no #ifdef spreads through the front ends.
namespace Platform {

// Whether a window start can reach a display. On Linux there is none when no "-platform"
// argument is given, QT_QPA_PLATFORM is unset and neither DISPLAY nor WAYLAND_DISPLAY is set;
// asking Qt then would abort the program. Elsewhere there always is one.
bool displayAvailable(int argc, char **argv);

// Whether standard error goes to a terminal, where a progress bar can be drawn.
bool stderrIsTerminal();

// From catchStopSignals() until releaseStopSignals(), the requests to end the program (SIGINT,
// SIGTERM, SIGHUP; on Windows Ctrl-C and Ctrl-Break) no longer end it at once: the first one is
// noted, and stopSignal() names it, so that work that must not be cut off ends at a safe point.
// stopSignal() is 0 while none came; 128 + stopSignal() is the exit status a shell expects.
void catchStopSignals();
void releaseStopSignals();
int stopSignal();

} // namespace Platform
