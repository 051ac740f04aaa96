#pragma once

#include "core/DeviceIdentity.h"
#include "core/Modem.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

// What one port gave in a search round.
enum class PortOutcome {
    Pending,   // the round still waits for it
    Found,     // a device of ours answered
    Missing,   // no such port
    NotSerial, // the name is no serial device (a file, a folder, /dev/null)
    Busy,      // another program, or another loader, holds the port
    NoPermission,
    NoDescriptors, // this process may open no further file
    CannotOpen,    // any other failure to open it
    NoAnswer,      // fewer than 11 bytes within the bound
    Refused,       // a device answered that the loader does not support
};

struct PortResult
{
    QString name; // as given in the list
    PortOutcome outcome = PortOutcome::Pending;
    DeviceIdentity identity; // Found, Refused: what the device said
};

// Looks for the device on every port of the list at once: each port is opened, asked with
// "@v;" and judged within its own bound (11 bytes in replyMs). Where several answer, the first
// in list order wins, so the round ends as soon as every port before the device is settled. The
// device's port stays open for the transfer; all others are closed when the round ends. Each
// open port takes descriptors: when the free ones do not reach for the whole list, the ports
// are asked in batches, each once the one before is settled. Runs in the caller's event loop;
// the window and the command line both drive it.
class DeviceSearch : public QObject
{
    Q_OBJECT

public:
    // ttyList empty: the system's usual ports.
    explicit DeviceSearch(const QStringList &ttyList, QObject *parent = nullptr);
    ~DeviceSearch() override;

    // Bound of the wait for each reply, from the moment "@v;" went out.
    void setReplyTimeout(int msecs) { replyMs = msecs; }

    // Starts one round over the whole list; does nothing while a round runs or once the device
    // was found. The round ends with finished(), possibly before start() returns.
    void start();
    // Starts a round and waits for its end (the command line's way); true: found. stopRequested
    // is asked while the round runs: true ends it at once with every port closed.
    bool searchOnce(const std::function<bool()> &stopRequested = {});
    // Ends a running round without a device: every port of it is closed.
    void stop();
    bool isRunning() const { return running; }
    bool found() const { return foundIndex >= 0; }

    // After a failed transfer the device may still take bytes as flash data: its port is
    // closed and the next round searches the whole list again.
    void restart();

    // The found device's port; a closed link when none was found.
    Modem &link() const { return *device; }
    // The port the device answered on, as named in the list; empty while none was found.
    QString ttyName() const;
    DeviceIdentity identity() const;
    int portCount() const { return int(ports.size()); }
    // Every port of the last round, in list order.
    const std::vector<PortResult> &results() const { return ports; }

signals:
    // settled of total ports have given their outcome.
    void progress(int settled, int total);
    // The first port in list order whose outcome is still open; the round waits for it.
    void waitingFor(const QString &port);
    void finished(bool found);

private:
    struct Probe;
    enum class Opened { Asked, Settled, Deferred };

    void openBatch();
    Opened openProbe(int index);
    bool anyProbeOpen() const;
    void readReply(int index);
    void settle(int index, PortOutcome outcome);
    void replyTimeUp();
    void advance();
    void endRound();

    std::vector<PortResult> ports;
    std::vector<int> sameAs; // the earlier entry that names the same device; -1: none
    std::vector<std::unique_ptr<Probe>> probes; // by list index; empty until the port is asked
    int nextToOpen = 0;
    std::unique_ptr<Modem> device;
    QTimer replyTimer;
    int replyMs = 300;
    int settled = 0;
    int firstOpen = -1; // the first port in list order still pending, as last reported
    int foundIndex = -1;
    bool running = false;
    bool ending = false;
};

// "HW gefunden an: " followed by the port.
QString foundText(const QString &port);
// Why a port gave no device, in one line: "Port %1 ist belegt" and the like; empty for Found
// and Pending.
QString portOutcomeText(const PortResult &result);
// Whether a port with this outcome is worth a line when it was not named by the user: the
// ports of the usual list that are missing or silent are not.
bool isNotableOutcome(PortOutcome outcome);
