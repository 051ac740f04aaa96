#pragma once

#include <array>

// The firmware as the device's program memory will hold it: one byte value per address cell.
struct FirmwareImage
{
    FirmwareImage() { image.fill(255); }

    std::array<int, 65000> image;
    int lastAddress = -1; // highest address holding a byte of the file; -1: none
};
