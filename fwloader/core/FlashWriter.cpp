#include "FlashWriter.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <array>

namespace {

constexpr int blockSize = 64;

enum class Wait { Byte, Timeout, LineLost };

// Waits at most msecs for one byte from the device, sleeping in the driver between bytes.
Wait readOneByte(Modem &modem, int msecs, char *byte)
{
    QDeadlineTimer deadline(qMax(0, msecs)); // a negative time would mean no bound at all
    for (;;) {
        if (modem.readTty(byte, 1) == 1)
            return Wait::Byte;
        if (modem.isLineLost())
            return Wait::LineLost;
        if (deadline.hasExpired())
            return Wait::Timeout;
        modem.waitForInput(int(deadline.remainingTime()));
    }
}

void dropStaleInput(Modem &modem)
{
    std::array<char, 8004> scratch;
    // Bounded: a device that keeps talking cannot hold the transfer here.
    for (int i = 0; i < 64 && modem.readTty(scratch.data(), int(scratch.size())) > 0; ++i) {
    }
}

} // namespace

int flashBlockTotal(const FirmwareImage &firmware)
{
    return firmware.lastAddress / blockSize + 1;
}

FlashResult writeFlash(Modem &modem, bool ttyOpen, const FirmwareImage &firmware,
                       const FlashTimeouts &timeouts,
                       const std::function<void(int received, int total)> &onByte)
{
    if (!ttyOpen || !modem.isOpen())
        return FlashResult::NoPort;
    const int total = flashBlockTotal(firmware);

    // Dropped before the start command: a device that answers at once must keep its first "k".
    dropStaleInput(modem);
    if (modem.isLineLost() || !modem.writeBlock("@g*****;", 8, timeouts.writeMs))
        return FlashResult::LineLost;

    int received = 0;
    int blockAddress = 0;
    std::array<char, 2 + blockSize> block;
    while (blockAddress <= firmware.lastAddress) {
        char byte = 0;
        const int bound = blockAddress == 0 ? timeouts.firstKMs : timeouts.kMs;
        switch (readOneByte(modem, bound, &byte)) {
        case Wait::Byte:
            break;
        case Wait::Timeout:
            return FlashResult::Timeout;
        case Wait::LineLost:
            return FlashResult::LineLost;
        }
        ++received;
        if (onByte)
            onByte(received, total);
        if (byte != 'k')
            continue; // no request for a block; the device will ask again
        block[0] = char(blockAddress & 0xFF);
        block[1] = char((blockAddress >> 8) & 0xFF);
        for (int i = 0; i < blockSize; ++i) {
            const int address = blockAddress + i;
            const int cell = address < int(firmware.image.size()) ? firmware.image[address] : 255;
            block[2 + i] = char(cell & 0xFF);
        }
        // One write per block: USB serial adapters make a transfer of every write call.
        if (!modem.writeBlock(block.data(), int(block.size()), timeouts.writeMs))
            return FlashResult::LineLost;
        blockAddress += blockSize;
    }
    const char endMark[2] = {char(0xFF), char(0xFF)};
    if (!modem.writeBlock(endMark, 2, timeouts.writeMs))
        return FlashResult::LineLost;
    return FlashResult::Written;
}

QString flashFailureText(FlashResult result)
{
    switch (result) {
    case FlashResult::Written:
        return QCoreApplication::translate("ZOR2fwloader", "Flash neu beschrieben!");
    case FlashResult::NoPort:
        return QCoreApplication::translate("ZOR2fwloader", "Keine HW verbunden!");
    case FlashResult::Timeout:
        return QCoreApplication::translate("ZOR2fwloader", "Keine Antwort vom Geraet, Abbruch!");
    case FlashResult::LineLost:
        break;
    }
    return QCoreApplication::translate("ZOR2fwloader",
                                       "Verbindung zum Geraet unterbrochen, Abbruch!");
}
