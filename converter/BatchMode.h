#pragma once

#include <QCoreApplication>

// The converter without a window: "zor2conv --convert FILE.hfd ... [--output-dir DIR]
// [--verbose]" converts each old curve file into NAME.z2k (channel 1) and NAME_2.z2k
// (channel 2), byte for byte what the window writes when its proposed description is accepted.
// Exit status 0 when every input was converted, 1 when any was not, 2 for a wrong call.
class BatchMode
{
    Q_DECLARE_TR_FUNCTIONS(BatchMode)

public:
    // Whether the arguments ask for the batch mode ("--convert" or "--help").
    static bool isRequested(int argc, char **argv);

    // Creates the (window-less) application and runs the batch mode.
    static int run(int &argc, char **argv);
};
