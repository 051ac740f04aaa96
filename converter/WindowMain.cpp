#include "WindowMain.h"

#include <cstdio>

// Stand-in until the window exists.
int runWindow(int &, char **)
{
    std::fputs("zor2conv: the window is not built yet; use --convert or --help\n", stderr);
    return 1;
}
