#include "BatchMode.h"
#include "ConverterOptions.h"
#include "WindowMain.h"
#include "commandline/CommandLine.h"
#include "platform/Platform.h"

int main(int argc, char *argv[])
{
    // Every argument is judged before Qt sees one: a mistyped call never reaches a window.
    const ConverterOptions options = ConverterOptions::parse(CommandLine::arguments(argc, argv));
    using Mode = ConverterOptions::Mode;
    if (options.error.isSet() || options.mode != Mode::Window)
        Platform::useParentConsole();
    if (options.error.isSet() || options.mode == Mode::Help || options.mode == Mode::Version)
        return BatchMode::answer(argc, argv, options);
    // Only a window start with a display reaches Qt's window system, which aborts without one.
    if (options.mode == Mode::Window && !Platform::displayAvailable(argc, argv))
        return BatchMode::reportNoDisplay(argc, argv, options);
    if (options.mode == Mode::Window)
        return runWindow(argc, argv, options);
    return BatchMode::run(argc, argv, options);
}
