#include "DeviceSearch.h"

#include "PortList.h"

#include <QCoreApplication>

DeviceSearch::DeviceSearch(Modem &modem, const QStringList &ttyList)
    : modem(modem)
    , ttyList(ttyList)
{
}

DeviceSearch makeDeviceSearch(Modem &modem, const QStringList &ttyList)
{
    modem.setBaudrate(57600);
    return DeviceSearch(modem, ttyList.isEmpty() ? defaultTtyList(currentPortSystem()) : ttyList);
}

void DeviceSearch::discardInput()
{
    if (open) {
        std::array<char, receiveBufferSize> scratch;
        modem.readTty(scratch.data(), int(scratch.size()));
    }
    received.fill(0);
}

bool DeviceSearch::nextPort()
{
    ++index;
    if (index >= ttyList.size()) {
        index = 0;
        return true;
    }
    return false;
}

SearchTick DeviceSearch::fopentty()
{
    if (ttyList.isEmpty())
        return SearchTick();
    if (pending)
        return judgeReply();
    if (!open)
        return openNextPort();
    // Found: the port stays open and the search stays stopped.
    return SearchTick();
}

SearchTick DeviceSearch::judgeReply()
{
    SearchTick tick;
    pending = false;
    const int count = modem.readTty(received.data(), identificationLength);
    const bool complete = count >= identificationLength;
    if (complete)
        reply = parseIdentification(received.data());
    if (complete && isAcceptedDevice(reply)) {
        tick.statusText = QCoreApplication::translate("ZOR2fwloader", "HW gefunden an: ") + name;
        tick.found = true;
        return tick;
    }
    tick.refused = complete;
    tick.wrapped = nextPort();
    tick.nextDelayMs = 200;
    modem.closeTty();
    open = false;
    return tick;
}

SearchTick DeviceSearch::openNextPort()
{
    SearchTick tick;
    index = qBound(0, index, int(ttyList.size()) - 1);
    name = ttyList.at(index);
    tick.statusText = QStringLiteral("Suche HW :") + name;
    open = modem.openTty(name);
    if (open) {
        discardInput();
        modem.writeTty("@v;");
        pending = true;
        tick.nextDelayMs = 300;
        return tick;
    }
    tick.openFailure = modem.lastOpenFailure();
    tick.wrapped = nextPort();
    tick.nextDelayMs = 100;
    pending = false;
    modem.closeTty();
    return tick;
}

void DeviceSearch::restart()
{
    modem.closeTty();
    open = false;
    pending = false;
}
