#pragma once

#include "ConverterOptions.h"

#include <QCoreApplication>

// The converter on the terminal: every call that does not open the window. "zor2conv
// --convert FILE.hfd ... [--output-dir DIR] [--verbose]" converts each old curve file into NAME.z2k
// (channel 1) and NAME_2.z2k (channel 2), byte for byte what the window writes when its
// proposed description is accepted. --png and --csv add NAME.png and NAME.csv to each pair,
// replaced together with it or not at all; --markers follows each curve file's name with its
// markers (resonance or maximum and bandwidth). --help, --version, usage errors and a window start
// without a display are answered here too. Exit status 0 when every input was converted, 1 when any
// was not, 2 for a wrong call.
class BatchMode
{
    Q_DECLARE_TR_FUNCTIONS(BatchMode)

public:
    // Converts the inputs a call with --convert names, in a window-less application.
    static int run(int &argc, char **argv, const ConverterOptions &options);
    // A wrong call, --help or --version, answered in the language the call selects.
    static int answer(int &argc, char **argv, const ConverterOptions &options);
    // A window start where there is no display, told in the language the call selects.
    static int reportNoDisplay(int &argc, char **argv, const ConverterOptions &options);
};
