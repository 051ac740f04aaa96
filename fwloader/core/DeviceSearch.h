#pragma once

#include "DeviceIdentity.h"
#include "Modem.h"

#include <QString>
#include <QStringList>

#include <array>

// What one step of the search asks of its caller.
struct SearchTick
{
    int nextDelayMs = -1; // run the next step after this many ms; -1: the search has stopped
    QString statusText;   // to show in the status bar; empty: leave it
    bool found = false;   // the device answered on ttyName; the port stays open
    bool wrapped = false; // the list was walked once and starts again at its first port
    OpenFailure openFailure = OpenFailure::None; // why ttyName did not open in this step
    bool refused = false; // a device answered on ttyName that the loader does not support
};

// Walks the port list one timer step at a time: open a port and send "@v;", then, one step
// later, judge the reply. No step ever waits on the port; the caller's timer does the waiting.
class DeviceSearch
{
public:
    DeviceSearch(Modem &modem, const QStringList &ttyList);

    // Drops what has arrived so far (up to rxBuffer's size) and clears rxBuffer.
    void discardInput();
    // One step of the search; the caller runs the next one after nextDelayMs.
    SearchTick fopentty();
    // After a failed transfer the device may still take bytes as flash data: close the port and
    // search again, starting with the same port.
    void restart();

    Modem &link() const { return modem; }
    // The port being tried; once found, the device's port.
    QString ttyName() const { return name; }
    // A port is open: the one being asked, or the device's.
    bool ttyOpen() const { return open; }
    // "@v;" went out; the next step judges the reply.
    bool versionPending() const { return pending; }
    int ttyIndex() const { return index; }
    // What the last device that answered said about itself.
    DeviceIdentity identity() const { return reply; }
    const std::array<char, receiveBufferSize> &rxBuffer() const { return received; }

private:
    bool nextPort();
    SearchTick judgeReply();
    SearchTick openNextPort();

    Modem &modem;
    QStringList ttyList;
    int index = 0;
    QString name;
    bool open = false;
    bool pending = false;
    DeviceIdentity reply;
    std::array<char, receiveBufferSize> received{};
};

// The search as both front ends run it: over ttyList, or the system's usual ports when it is
// empty, with the link set to 57600 baud.
DeviceSearch makeDeviceSearch(Modem &modem, const QStringList &ttyList);
