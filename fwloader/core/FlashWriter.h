#pragma once

#include "core/FirmwareImage.h"
#include "core/Modem.h"

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
// A closed link gives NoPort.
FlashResult writeFlash(Modem &modem, const FirmwareImage &firmware, const FlashTimeouts &timeouts,
                       const FlashHooks &hooks = {});

class DeviceSearch;

// A transfer as both front ends run it: writeFlash over the port the search found, where
// SIGINT, SIGTERM and SIGHUP end the transfer between two blocks (Interrupted;
// Platform::stopSignal() names the signal). After any failure the device may still take bytes
// as flash data, so nothing more goes out on that line: its port is closed, and the caller
// decides when the search may ask it again (the window waits for the device's power cycle).
FlashResult flashFoundDevice(DeviceSearch &search, const FirmwareImage &firmware,
                             const FlashTimeouts &timeouts,
                             const std::function<void(int sent, int total)> &onBlock);

// The block total for an image: lastAddress / 64 + 1.
int flashBlockTotal(const FirmwareImage &firmware);

// What the status bar says about the result: "Flash neu beschrieben!" or why it failed.
QString flashResultText(FlashResult result);
// What to do after a transfer that ended halfway, when the device may hold part of the new
// firmware; empty after a success or when nothing was sent.
QString flashFailureAdvice(FlashResult result);
