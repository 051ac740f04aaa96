#include "BatchMode.h"
#include "CommandLine.h"
#include "ConverterOptions.h"
#include "Platform.h"
#include "WindowMain.h"

int main(int argc, char **argv)
{
    // Judged before any application object exists: only a plain window start with a display
    // reaches Qt's window system, which would abort the program without one.
    const ConverterOptions options = ConverterOptions::parse(CommandLine::arguments(argc, argv));
    if (options.mode == ConverterOptions::Mode::Window && !options.error.isSet() &&
        Platform::displayAvailable(argc, argv))
        return runWindow(argc, argv, options);
    return BatchMode::run(argc, argv, options);
}
