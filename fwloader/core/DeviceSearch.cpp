#include "core/DeviceSearch.h"

#include "core/PortList.h"
#include "platform/MessageText.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <array>

namespace {

QString translate(const char *text)
{
    return QCoreApplication::translate("LoaderWindow", text);
}

// The bound for handing "@v;" to the driver; what is left goes out from the event loop.
constexpr int probeWriteMs = 100;

// Descriptors a batch leaves to the rest of the program (the event loop, a file, the display).
constexpr int reservedDescriptors = 16;

// How often a search waited for asks whether it is to stop.
constexpr int stopPollMs = 50;

} // namespace

struct DeviceSearch::Probe
{
    std::unique_ptr<Modem> modem = std::make_unique<Modem>();
    std::array<char, identificationLength> reply{};
    int have = 0;
};

DeviceSearch::DeviceSearch(const QStringList &ttyList, QObject *parent)
    : QObject(parent)
    , device(std::make_unique<Modem>())
{
    for (const QString &name : ttyList.isEmpty() ? defaultTtyList(currentPortSystem()) : ttyList)
        ports.push_back({name, PortOutcome::Pending, {}});
    replyTimer.setSingleShot(true);
    connect(&replyTimer, &QTimer::timeout, this, &DeviceSearch::replyTimeUp);
}

DeviceSearch::~DeviceSearch() = default;

void DeviceSearch::start()
{
    if (running || found())
        return;
    running = true;
    ending = false;
    settled = 0;
    firstOpen = -1;
    nextToOpen = 0;
    probes.clear();
    probes.resize(ports.size());
    // A port named twice is asked once: a second open would find our own lock.
    QStringList devices;
    sameAs.assign(ports.size(), -1);
    for (PortResult &port : ports) {
        port.outcome = PortOutcome::Pending;
        port.identity = DeviceIdentity();
        devices.append(resolvedPortName(port.name));
        const int first = int(devices.indexOf(devices.last()));
        if (first < devices.size() - 1)
            sameAs[std::size_t(devices.size() - 1)] = first;
    }
    emit progress(0, portCount());
    if (!ports.empty()) {
        firstOpen = 0;
        emit waitingFor(ports.front().name);
    }
    openBatch();
}

bool DeviceSearch::searchOnce(const std::function<bool()> &stopRequested)
{
    QEventLoop loop;
    connect(this, &DeviceSearch::finished, &loop, &QEventLoop::quit);
    QTimer stopPoll;
    if (stopRequested) {
        connect(&stopPoll, &QTimer::timeout, this, [this, &stopRequested] {
            if (stopRequested())
                stop();
        });
        stopPoll.start(stopPollMs);
    }
    start();
    // The round ends by the reply timer at the latest.
    if (running)
        loop.exec();
    return found();
}

void DeviceSearch::stop()
{
    if (!running)
        return;
    foundIndex = -1;
    endRound();
}

void DeviceSearch::openBatch()
{
    const int room = Platform::freeDescriptors();
    int batch = room < 0 ? portCount() : qMax(1, (room - reservedDescriptors) / descriptorsPerPort);
    // Every port of the batch is opened and asked before any is judged; settle() waits for
    // advance().
    ending = true;
    while (nextToOpen < portCount() && batch > 0) {
        const Opened opened = openProbe(nextToOpen);
        if (opened == Opened::Deferred)
            break;
        ++nextToOpen;
        batch -= opened == Opened::Asked;
    }
    ending = false;
    replyTimer.start(replyMs);
    advance();
}

bool DeviceSearch::anyProbeOpen() const
{
    for (int i = 0; i < nextToOpen; ++i) {
        if (probes[std::size_t(i)] && probes[std::size_t(i)]->modem->isOpen())
            return true;
    }
    return false;
}

DeviceSearch::Opened DeviceSearch::openProbe(int index)
{
    if (sameAs[std::size_t(index)] >= 0) {
        emit progress(++settled, portCount()); // its outcome is the earlier entry's
        return Opened::Settled;
    }
    auto probe = std::make_unique<Probe>();
    if (!probe->modem->openTty(ports[std::size_t(index)].name)) {
        PortOutcome outcome = PortOutcome::CannotOpen;
        switch (probe->modem->lastOpenFailure()) {
        case OpenFailure::NotFound:
            outcome = PortOutcome::Missing;
            break;
        case OpenFailure::NotSerial:
            outcome = PortOutcome::NotSerial;
            break;
        case OpenFailure::Busy:
            outcome = PortOutcome::Busy;
            break;
        case OpenFailure::PermissionDenied:
            outcome = PortOutcome::NoPermission;
            break;
        case OpenFailure::NoDescriptors:
            // The ports still open free theirs when they are settled: this one waits for them.
            if (anyProbeOpen())
                return Opened::Deferred;
            outcome = PortOutcome::NoDescriptors;
            break;
        case OpenFailure::None:
        case OpenFailure::Other:
            break;
        }
        probes[std::size_t(index)] = std::move(probe);
        settle(index, outcome);
        return Opened::Settled;
    }
    // Read from the event loop, never inside the serial port's own signal: judging may close it.
    connect(
        probe->modem.get(), &Modem::inputArrived, this, [this, index] { readReply(index); },
        Qt::QueuedConnection);
    std::array<char, receiveBufferSize> stale;
    probe->modem->readTty(stale.data(), int(stale.size()));
    probe->modem->writeBlock("@v;", 3, probeWriteMs);
    probes[std::size_t(index)] = std::move(probe);
    return Opened::Asked;
}

void DeviceSearch::readReply(int index)
{
    if (!running || index >= nextToOpen || !probes[std::size_t(index)] ||
        ports[std::size_t(index)].outcome != PortOutcome::Pending)
        return;
    Probe &probe = *probes[std::size_t(index)];
    // Only the 11 bytes of the reply: whatever follows stays queued for the transfer to drop.
    probe.have +=
        probe.modem->readTty(probe.reply.data() + probe.have, identificationLength - probe.have);
    if (probe.have < identificationLength)
        return;
    PortResult &port = ports[std::size_t(index)];
    port.identity = parseIdentification(probe.reply.data());
    settle(index, isAcceptedDevice(port.identity) ? PortOutcome::Found : PortOutcome::Refused);
}

void DeviceSearch::settle(int index, PortOutcome outcome)
{
    ports[std::size_t(index)].outcome = outcome;
    if (outcome != PortOutcome::Found)
        probes[std::size_t(index)]->modem->closeTty();
    emit progress(++settled, portCount());
    if (!ending)
        advance();
}

void DeviceSearch::replyTimeUp()
{
    ending = true;
    for (int i = 0; i < nextToOpen; ++i) {
        readReply(i); // what arrived at the last moment still counts
        if (ports[std::size_t(i)].outcome == PortOutcome::Pending && sameAs[std::size_t(i)] < 0)
            settle(i, PortOutcome::NoAnswer);
    }
    ending = false;
    advance();
}

void DeviceSearch::advance()
{
    if (!running)
        return;
    for (int i = 0; i < portCount(); ++i) {
        const PortOutcome outcome = ports[std::size_t(i)].outcome;
        if (sameAs[std::size_t(i)] >= 0)
            continue;
        if (outcome == PortOutcome::Found) {
            foundIndex = i;
            return endRound();
        }
        if (outcome != PortOutcome::Pending)
            continue;
        if (i != firstOpen) {
            firstOpen = i;
            emit waitingFor(ports[std::size_t(i)].name);
        }
        // Every port asked so far is settled: the next batch.
        if (i >= nextToOpen)
            openBatch();
        return;
    }
    endRound();
}

void DeviceSearch::endRound()
{
    replyTimer.stop();
    running = false;
    for (int i = 0; i < portCount(); ++i) {
        const int first = sameAs[std::size_t(i)];
        if (first >= 0) {
            ports[std::size_t(i)].outcome = ports[std::size_t(first)].outcome;
            ports[std::size_t(i)].identity = ports[std::size_t(first)].identity;
        }
    }
    // The device's link moves out of its probe; the others close with their probes.
    device = std::make_unique<Modem>();
    if (foundIndex >= 0) {
        Probe &winner = *probes[std::size_t(foundIndex)];
        disconnect(winner.modem.get(), &Modem::inputArrived, this, nullptr);
        device = std::move(winner.modem);
    }
    probes.clear();
    emit finished(found());
}

void DeviceSearch::restart()
{
    device->closeTty();
    foundIndex = -1;
}

QString DeviceSearch::ttyName() const
{
    return found() ? ports[std::size_t(foundIndex)].name : QString();
}

DeviceIdentity DeviceSearch::identity() const
{
    return found() ? ports[std::size_t(foundIndex)].identity : DeviceIdentity();
}

QString foundText(const QString &port)
{
    return translate("HW gefunden an: ") + shownInMessage(port);
}

QString portOutcomeText(const PortResult &result)
{
    const QString port = shownInMessage(result.name);
    switch (result.outcome) {
    case PortOutcome::Pending:
    case PortOutcome::Found:
        break;
    case PortOutcome::Missing:
        return translate("Port %1 gibt es nicht").arg(port);
    case PortOutcome::NotSerial:
        return translate("%1 ist kein serieller Port").arg(port);
    case PortOutcome::Busy:
        return translate("Port %1 ist belegt").arg(port);
    case PortOutcome::NoPermission:
        return permissionHint(result.name);
    case PortOutcome::NoDescriptors:
        return translate("Port %1 laesst sich nicht oeffnen: zu viele offene Dateien").arg(port);
    case PortOutcome::CannotOpen:
        return translate("Port %1 laesst sich nicht oeffnen").arg(port);
    case PortOutcome::NoAnswer:
        return translate("An %1 antwortet kein Geraet").arg(port);
    case PortOutcome::Refused:
        return translate("An %1 antwortet ein Geraet %2 mit FW: %3, das nicht "
                         "unterstuetzt wird.")
            .arg(port, result.identity.hwFamily, firmwareVersionText(result.identity.fwVersion));
    }
    return QString();
}

bool isNotableOutcome(PortOutcome outcome)
{
    return outcome == PortOutcome::Busy || outcome == PortOutcome::NoPermission ||
           outcome == PortOutcome::NoDescriptors || outcome == PortOutcome::Refused;
}
