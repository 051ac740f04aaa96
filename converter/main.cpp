#include "BatchMode.h"
#include "WindowMain.h"

int main(int argc, char **argv)
{
    if (BatchMode::isRequested(argc, argv))
        return BatchMode::run(argc, argv);
    return runWindow(argc, argv);
}
