#include "DeviceSearch.h"

#include <QCoreApplication>

DeviceSearch::DeviceSearch(Modem &modem, const QStringList &ttyList)
    : modem(modem)
    , ttyList(ttyList)
{
}

void DeviceSearch::discardInput()
{
    if (ttyOpen) {
        std::array<char, 8004> scratch;
        modem.readTty(scratch.data(), int(scratch.size()));
    }
    rxBuffer.fill(0);
}

bool DeviceSearch::nextPort()
{
    ++ttyIndex;
    if (ttyIndex >= ttyList.size()) {
        ttyIndex = 0;
        return true;
    }
    return false;
}

SearchTick DeviceSearch::fopentty()
{
    SearchTick tick;
    if (ttyList.isEmpty())
        return tick;

    if (versionPending) {
        versionPending = false;
        const int count = modem.readTty(rxBuffer.data(), identificationLength);
        bool accepted = false;
        if (count >= identificationLength) {
            const DeviceIdentity reply = parseIdentification(rxBuffer.data());
            hwFamily = reply.hwFamily;
            fwVersion = reply.fwVersion;
            hwVariant = reply.hwVariant;
            accepted = isAcceptedDevice(reply);
        }
        if (!accepted) {
            tick.refused = count >= identificationLength;
            tick.wrapped = nextPort();
            tick.nextDelayMs = 200;
            modem.closeTty();
            ttyOpen = false;
            return tick;
        }
        tick.statusText = QCoreApplication::translate("ZOR2fwloader", "HW gefunden an: ") + ttyName;
        tick.found = true;
        return tick;
    }

    if (!ttyOpen) {
        ttyIndex = qBound(0, ttyIndex, int(ttyList.size()) - 1);
        ttyName = ttyList.at(ttyIndex);
        tick.statusText = QStringLiteral("Suche HW :") + ttyName;
        ttyOpen = modem.openTty(ttyName);
        if (ttyOpen) {
            discardInput();
            modem.writeTty("@v;");
            versionPending = true;
            tick.nextDelayMs = 300;
            return tick;
        }
        tick.openFailure = modem.lastOpenFailure();
        tick.wrapped = nextPort();
        tick.nextDelayMs = 100;
        versionPending = false;
        modem.closeTty();
        return tick;
    }

    // Found: the port stays open and the search stays stopped.
    return tick;
}

void DeviceSearch::restart()
{
    modem.closeTty();
    ttyOpen = false;
    versionPending = false;
}
