#include "BatchMode.h"
#include "ConverterOptions.h"
#include "Platform.h"
#include "WindowMain.h"

int main(int argc, char **argv)
{
    // Judged before any application object exists: only a plain window start with a display
    // reaches Qt's window system, which would abort the program without one.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const ConverterOptions options = ConverterOptions::parse(arguments);
    if (options.mode == ConverterOptions::Mode::Window &&
        options.error == ConverterOptions::Error::None && Platform::displayAvailable(argc, argv))
        return runWindow(argc, argv, options.inputs);
    return BatchMode::run(argc, argv, options);
}
