#include "core/FlashWriter.h"

#include "core/DeviceSearch.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <array>

namespace {

constexpr int blockSize = 64;

enum class Wait { Request, Timeout, LineLost, Stopped };

// The longest single sleep in the driver, so that a stop request is seen while a device is slow.
constexpr int stopPollMs = 100;

// Waits for one "k" until the deadline that was set when the wait started. Other bytes are
// dropped without moving it; more than maxStrayBytes of them end the wait at once, since a
// device that chatters instead of asking will not ask in time either.
Wait waitForRequest(Modem &modem, int msecs, const FlashHooks &hooks)
{
    const QDeadlineTimer deadline(qMax(0, msecs)); // a negative time would mean no bound at all
    int stray = 0;
    for (;;) {
        if (hooks.stopRequested && hooks.stopRequested())
            return Wait::Stopped;
        char byte = 0;
        while (modem.readTty(&byte, 1) == 1) {
            if (byte == 'k')
                return Wait::Request;
            if (++stray > maxStrayBytes)
                return Wait::Timeout;
        }
        if (modem.isLineLost())
            return Wait::LineLost;
        if (deadline.hasExpired())
            return Wait::Timeout;
        const qint64 remaining = deadline.remainingTime();
        modem.waitForInput(
            int(hooks.stopRequested ? qMin<qint64>(remaining, stopPollMs) : remaining));
    }
}

void dropStaleInput(Modem &modem)
{
    std::array<char, receiveBufferSize> scratch;
    // Bounded: a device that keeps talking cannot hold the transfer here.
    for (int i = 0; i < 64 && modem.readTty(scratch.data(), int(scratch.size())) > 0; ++i) {
    }
}

} // namespace

int flashBlockTotal(const FirmwareImage &firmware)
{
    return firmware.lastAddress / blockSize + 1;
}

FlashResult writeFlash(Modem &modem, const FirmwareImage &firmware, const FlashTimeouts &timeouts,
                       const FlashHooks &hooks)
{
    if (!modem.isOpen())
        return FlashResult::NoPort;
    const int total = flashBlockTotal(firmware);

    // Dropped before the start command: a device that answers at once must keep its first "k".
    dropStaleInput(modem);
    if (modem.isLineLost() || !modem.writeBlock("@g*****;", 8, timeouts.writeMs))
        return FlashResult::LineLost;

    int sent = 0;
    int blockAddress = 0;
    std::array<char, 2 + blockSize> block;
    while (blockAddress <= firmware.lastAddress) {
        const int bound = blockAddress == 0 ? timeouts.firstKMs : timeouts.kMs;
        switch (waitForRequest(modem, bound, hooks)) {
        case Wait::Request:
            break;
        case Wait::Timeout:
            return FlashResult::Timeout;
        case Wait::LineLost:
            return FlashResult::LineLost;
        case Wait::Stopped:
            return FlashResult::Interrupted;
        }
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
        ++sent;
        if (hooks.onBlock)
            hooks.onBlock(sent, total);
    }
    const char endMark[2] = {char(0xFF), char(0xFF)};
    if (!modem.writeBlock(endMark, 2, timeouts.writeMs))
        return FlashResult::LineLost;
    return FlashResult::Written;
}

FlashResult flashFoundDevice(DeviceSearch &search, const FirmwareImage &firmware,
                             const FlashTimeouts &timeouts,
                             const std::function<void(int sent, int total)> &onBlock)
{
    FlashHooks hooks;
    hooks.onBlock = onBlock;
    hooks.stopRequested = [] { return Platform::stopSignal() != 0; };
    Platform::catchStopSignals();
    // No port open: writeFlash says NoPort, as the search keeps the link closed then.
    const FlashResult result = writeFlash(search.link(), firmware, timeouts, hooks);
    if (result != FlashResult::Written)
        search.restart();
    Platform::releaseStopSignals();
    return result;
}

QString flashResultText(FlashResult result)
{
    switch (result) {
    case FlashResult::Written:
        return QCoreApplication::translate("LoaderWindow", "Flash neu beschrieben!");
    case FlashResult::NoPort:
        return QCoreApplication::translate("LoaderWindow", "Keine HW verbunden!");
    case FlashResult::Timeout:
        return QCoreApplication::translate("LoaderWindow", "Keine Antwort vom Geraet, Abbruch!");
    case FlashResult::Interrupted:
        return QCoreApplication::translate("LoaderWindow", "Flash schreiben abgebrochen!");
    case FlashResult::LineLost:
        break;
    }
    return QCoreApplication::translate("LoaderWindow",
                                       "Verbindung zum Geraet unterbrochen, Abbruch!");
}

QString flashFailureAdvice(FlashResult result)
{
    if (result == FlashResult::Written || result == FlashResult::NoPort)
        return QString();
    return QCoreApplication::translate("LoaderWindow",
                                       "Das Geraet hat jetzt eine unvollstaendige Firmware: vor "
                                       "dem naechsten Flashen aus- und wieder einschalten.");
}
