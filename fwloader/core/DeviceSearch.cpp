#include "core/DeviceSearch.h"

#include "core/PortList.h"

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

} // namespace

struct DeviceSearch::Probe
{
    std::unique_ptr<Modem> modem = std::make_unique<Modem>();
    std::array<char, identificationLength> reply{};
    int have = 0;
    int sameAs = -1; // the earlier entry that names the same device
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
    devices.clear();
    probes.clear();
    for (PortResult &port : ports) {
        port.outcome = PortOutcome::Pending;
        port.identity = DeviceIdentity();
    }
    emit progress(0, portCount());
    if (!ports.empty()) {
        firstOpen = 0;
        emit waitingFor(ports.front().name);
    }
    // Every port is opened and asked before any is judged; settle() waits for advance().
    ending = true;
    for (int i = 0; i < portCount(); ++i)
        openProbe(i);
    ending = false;
    replyTimer.start(replyMs);
    advance();
}

bool DeviceSearch::searchOnce()
{
    QEventLoop loop;
    connect(this, &DeviceSearch::finished, &loop, &QEventLoop::quit);
    start();
    // The round ends by the reply timer at the latest.
    if (running)
        loop.exec();
    return found();
}

void DeviceSearch::openProbe(int index)
{
    const QString &name = ports[std::size_t(index)].name;
    devices.append(resolvedPortName(name));
    probes.push_back(std::make_unique<Probe>());
    Probe &probe = *probes.back();
    // A port named twice is asked once: a second open would find our own lock.
    probe.sameAs = int(devices.indexOf(devices.last()));
    if (probe.sameAs < index) {
        emit progress(++settled, portCount()); // its outcome is the earlier entry's
        return;
    }
    probe.sameAs = -1;
    if (!probe.modem->openTty(name)) {
        switch (probe.modem->lastOpenFailure()) {
        case OpenFailure::NotFound:
            return settle(index, PortOutcome::Missing);
        case OpenFailure::NotSerial:
            return settle(index, PortOutcome::NotSerial);
        case OpenFailure::Busy:
            return settle(index, PortOutcome::Busy);
        case OpenFailure::PermissionDenied:
            return settle(index, PortOutcome::NoPermission);
        case OpenFailure::None:
        case OpenFailure::Other:
            break;
        }
        return settle(index, PortOutcome::CannotOpen);
    }
    // Read from the event loop, never inside the serial port's own signal: judging may close it.
    connect(
        probe.modem.get(), &Modem::inputArrived, this, [this, index] { readReply(index); },
        Qt::QueuedConnection);
    std::array<char, receiveBufferSize> stale;
    probe.modem->readTty(stale.data(), int(stale.size()));
    probe.modem->writeBlock("@v;", 3, probeWriteMs);
}

void DeviceSearch::readReply(int index)
{
    if (!running || index >= int(probes.size()) ||
        ports[std::size_t(index)].outcome != PortOutcome::Pending)
        return;
    Probe &probe = *probes[std::size_t(index)];
    if (probe.sameAs >= 0)
        return;
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
    for (int i = 0; i < portCount(); ++i) {
        readReply(i); // what arrived at the last moment still counts
        if (ports[std::size_t(i)].outcome == PortOutcome::Pending &&
            probes[std::size_t(i)]->sameAs < 0)
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
        const Probe &probe = *probes[std::size_t(i)];
        const PortOutcome outcome = ports[std::size_t(i)].outcome;
        if (probe.sameAs >= 0)
            continue;
        if (outcome == PortOutcome::Found) {
            foundIndex = i;
            return endRound();
        }
        if (outcome == PortOutcome::Pending) {
            if (i != firstOpen) {
                firstOpen = i;
                emit waitingFor(ports[std::size_t(i)].name);
            }
            return;
        }
    }
    endRound();
}

void DeviceSearch::endRound()
{
    replyTimer.stop();
    running = false;
    for (int i = 0; i < portCount(); ++i) {
        Probe &probe = *probes[std::size_t(i)];
        if (probe.sameAs >= 0) {
            ports[std::size_t(i)].outcome = ports[std::size_t(probe.sameAs)].outcome;
            ports[std::size_t(i)].identity = ports[std::size_t(probe.sameAs)].identity;
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
    return translate("HW gefunden an: ") + port;
}

QString portOutcomeText(const PortResult &result)
{
    const QString &port = result.name;
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
        return permissionHint(port);
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
           outcome == PortOutcome::Refused;
}
