#pragma once

// Runs the converter's window: creates the application, shows the window and runs the event
// loop. Returns the loop's exit code.
int runWindow(int &argc, char **argv);
