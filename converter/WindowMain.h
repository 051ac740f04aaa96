#pragma once

class ConverterOptions;

// Runs the converter's window: creates the application, shows the window and runs the event
// loop. The first of the inputs (the old curve files named on the command line, as the desktop
// passes a file opened with the converter) is opened as "Kurvendatei ALT oeffnen" would;
// --verbose turns the diagnostic lines on. Returns the loop's exit code.
int runWindow(int &argc, char **argv, const ConverterOptions &options);
