#pragma once

#include "HexImage.h"
#include "Modem.h"

#include <QString>

#include <functional>

enum class FlashResult { Written, NoPort, Timeout, LineLost, Interrupted };

struct FlashTimeouts
{
    int firstKMs = 10000; // the device may erase its flash before it asks for the first block
    int kMs = 5000;
    int writeMs = 5000;
};

// What the caller learns during a transfer and how it may end one.
struct FlashHooks
{
    // Runs after every block sent, with the blocks sent so far and the block total.
    std::function<void(int sent, int total)> onBlock;
    // Asked between blocks and while waiting for a request: true ends the transfer with
    // Interrupted.
    std::function<bool()> stopRequested;
};

// Bytes other than "k" that one wait for a request may bring before the device counts as lost.
constexpr int maxStrayBytes = 64;

// Writes the image into the device: the start command, then one block of address (low byte
// first) and 64 image bytes for every "k" the device sends, then the end mark 0xFF 0xFF. Each
// wait for a "k" has one deadline, set when the wait starts; other bytes never move it.
FlashResult writeFlash(Modem &modem, bool ttyOpen, const FirmwareImage &firmware,
                       const FlashTimeouts &timeouts, const FlashHooks &hooks = {});

// The block total for an image: lastAddress / 64 + 1.
int flashBlockTotal(const FirmwareImage &firmware);

// Status bar text for the result ("Flash neu beschrieben!" for Written).
QString flashFailureText(FlashResult result);
