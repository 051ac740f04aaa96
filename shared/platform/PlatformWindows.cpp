#include "Platform.h"

#include <cstdio>

#include <io.h>

namespace Platform {

bool displayAvailable(int, char **)
{
    return true;
}

bool stderrIsTerminal()
{
    return _isatty(_fileno(stderr)) != 0;
}

} // namespace Platform
