#pragma once

#include "HexImage.h"
#include "Modem.h"

#include <QString>

#include <functional>

enum class FlashResult { Written, NoPort, Timeout, LineLost };

struct FlashTimeouts
{
    int firstKMs = 10000; // the device may erase its flash before it asks for the first block
    int kMs = 5000;
    int writeMs = 5000;
};

// Writes the image into the device: the start command, then one block of address (low byte
// first) and 64 image bytes for every "k" the device sends, then the end mark 0xFF 0xFF.
// onByte runs after every byte received, with the count so far and the block total.
FlashResult writeFlash(Modem &modem, bool ttyOpen, const FirmwareImage &firmware,
                       const FlashTimeouts &timeouts,
                       const std::function<void(int received, int total)> &onByte);

// The block total for an image: lastAddress / 64 + 1.
int flashBlockTotal(const FirmwareImage &firmware);

// Status bar text for the result ("Flash neu beschrieben!" for Written).
QString flashFailureText(FlashResult result);
