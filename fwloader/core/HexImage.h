#pragma once

#include <QString>

#include <array>

// The firmware as the device's program memory will hold it: one byte value per address cell.
struct FirmwareImage
{
    FirmwareImage() { image.fill(255); }

    std::array<int, 65000> image;
    int lastAddress = -1; // highest address holding a byte of the file; -1: none
};

enum class HexStatus {
    Accepted,
    NotReadable,  // the file could not be opened
    Malformed,    // a record with a wrong checksum, length or a character that is no hex digit
    Unsuitable,   // no jump to 0xFC00 at 0x0020, or data at 0xFC00 and above
    NotForF26K22, // built for the PIC18LF26K80, the device has a PIC18F26K22
    NotForF26K80, // built for the PIC18F26K22, the device has a PIC18LF26K80
};

struct HexLoadResult
{
    HexStatus status = HexStatus::NotReadable;
    int badRecord = 0; // Malformed: number of the bad record, counting words starting with ":"
    FirmwareImage image;
};

// Reads an Intel HEX file into a fresh image and checks it against the device's firmware
// version; only data under upper address 0000 are kept.
HexLoadResult loadHexFile(const QString &path, int fwVersion);

// The text the window shows for the result.
QString hexStatusText(const HexLoadResult &result);
