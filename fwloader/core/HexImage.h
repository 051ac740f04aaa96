#pragma once

#include "core/FirmwareImage.h"

#include <QString>

enum class HexStatus {
    Accepted,
    NotReadable,   // missing, no regular file, too large for a firmware, or not to be opened
    Malformed,     // a damaged record, a missing end record, two values for one address, or
                   // data before the first address record
    Unsuitable,    // no data, no jump to 0xFC00 at 0x0020, data at 0xFC00 and above, or
                   // data outside the program memory other than ID, configuration and EEPROM
    NotForF26K22,  // built for the PIC18LF26K80, the device has a PIC18F26K22
    NotForLF26K80, // built for the PIC18F26K22, the device has a PIC18LF26K80
};

struct HexLoadResult
{
    HexStatus status = HexStatus::NotReadable;
    int badRecord = 0; // Malformed: number of the bad record, counting the file's words
    QString reason;    // why the file was refused, in the user's words; empty when accepted
    FirmwareImage image;
    int firstAddress = -1;   // lowest address holding a byte of the file; -1: none
    qint64 dataBytes = 0;    // bytes of the file in the image
    qint64 skippedBytes = 0; // bytes in other sections (configuration words, EEPROM data)
};

// No HEX file for a 64 KB image comes near this size; a larger file is refused unread.
constexpr qint64 maxHexFileSize = 16 * 1024 * 1024;

// Reads an Intel HEX file into a fresh image and judges its layout (Accepted, NotReadable,
// Malformed or Unsuitable), whatever the processor. Only data under the upper address 0000
// are kept; those for the ID locations, configuration and EEPROM (upper addresses 0020, 0030
// and 00F0) are skipped, any other data above 0xFFFF refuse the file. Only a regular file of
// sane size is read.
HexLoadResult readHexFile(const QString &path);

// Judges a layout-accepted result against the device's firmware version.
void checkProcessor(HexLoadResult &result, int fwVersion);

// readHexFile, then checkProcessor.
HexLoadResult loadHexFile(const QString &path, int fwVersion);

// The processor the image's firmware is built for: one of knownProcessors' names.
QString fileProcessorName(const FirmwareImage &firmware);

// The text the window shows for the result.
QString hexStatusText(const HexLoadResult &result);
// Why the file was refused, with the record where there is one: "Satz 67: ..."; empty when
// accepted.
QString hexRefusalReason(const HexLoadResult &result);
// The status text with that reason in brackets, for the command line.
QString hexStatusLine(const HexLoadResult &result);
