#include "LoaderCommandLine.h"

#include "DeviceSearch.h"
#include "FlashWriter.h"
#include "HexImage.h"
#include "Modem.h"
#include "PortList.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cmath>
#include <cstdio>

namespace {

QString translate(const char *text)
{
    return QCoreApplication::translate("ZOR2fwloader", text);
}

// One line per port that exists but may not be opened by this user. On Linux the serial
// devices belong to a group (usually dialout) that the user has to join; a device that only its
// owner may use needs other rights, and joining root's group is never the answer.
QString permissionHint(const QString &port)
{
    const QFileInfo info(port);
    const QString group = info.group();
    const auto groupRights = QFile::ReadGroup | QFile::WriteGroup;
    if (group.isEmpty() || group == QLatin1String("root") ||
        (info.permissions() & groupRights) != groupRights)
        return QStringLiteral("Kein Zugriff auf %1: dieser Benutzer darf das Geraet nicht "
                              "oeffnen.")
            .arg(port);
    return QStringLiteral("Kein Zugriff auf %1: das Geraet gehoert der Gruppe %2. Den Benutzer "
                          "in diese Gruppe aufnehmen (sudo usermod -aG %2 $USER) und neu "
                          "anmelden.")
        .arg(port, group);
}

} // namespace

// The port, the search over it, and what the search could not open.
class LoaderCommandLine::Session
{
public:
    explicit Session(const QStringList &ttyList)
        : search(modem, ttyList.isEmpty() ? defaultTtyList(currentPlatform()) : ttyList)
    {
        modem.setBaudrate(57600);
    }

    Modem modem;
    DeviceSearch search;
    QStringList deniedPorts;
};

LoaderCommandLine::LoaderCommandLine(QTextStream &out, QTextStream &err, bool progressBar)
    : out(out)
    , err(err)
    , progressBar(progressBar)
{
}

bool LoaderCommandLine::findDevice(Session &session)
{
    DeviceSearch &search = session.search;
    for (;;) {
        const SearchTick tick = search.fopentty();
        if (tick.openFailure == OpenFailure::PermissionDenied &&
            !session.deniedPorts.contains(search.ttyName))
            session.deniedPorts.append(search.ttyName);
        if (tick.found) {
            out << tick.statusText << '\n' << firmwareLine(search.identity()) << '\n';
            out.flush();
            return true;
        }
        if (tick.wrapped || tick.nextDelayMs < 0)
            break;
        QThread::msleep(tick.nextDelayMs);
    }
    err << translate("Keine HW gefunden!") << '\n';
    for (const QString &port : std::as_const(session.deniedPorts))
        err << permissionHint(port) << '\n';
    err.flush();
    return false;
}

int LoaderCommandLine::probe(const QStringList &ttyList)
{
    Session session(ttyList);
    return findDevice(session) ? 0 : 1;
}

void LoaderCommandLine::showProgress(int received, int total)
{
    constexpr int width = 40;
    const int done = total > 0 ? qMin(width, received * width / total) : width;
    err << '\r' << '[' << QString(done, QLatin1Char('#')) << QString(width - done, QLatin1Char(' '))
        << "] " << QString::asprintf("Block: %i / %i", received, total);
    err.flush();
}

int LoaderCommandLine::flash(const QStringList &ttyList, const QString &hexFile,
                             double timeoutSeconds)
{
    Session session(ttyList);
    if (!findDevice(session))
        return 1;

    const HexLoadResult loaded = loadHexFile(hexFile, session.search.fwVersion);
    if (loaded.status != HexStatus::Accepted) {
        err << hexStatusText(loaded);
        if (loaded.status == HexStatus::Malformed)
            err << QStringLiteral(" (Satz %1)").arg(loaded.badRecord);
        err << '\n';
        err.flush();
        return 1;
    }
    out << hexStatusText(loaded) << '\n';
    out.flush();

    FlashTimeouts timeouts;
    timeouts.kMs = qMax(1, int(std::lround(timeoutSeconds * 1000.0)));
    timeouts.firstKMs = 2 * timeouts.kMs;
    std::function<void(int, int)> onByte;
    if (progressBar)
        onByte = [this](int received, int total) { showProgress(received, total); };

    const FlashResult result =
        writeFlash(session.modem, session.search.ttyOpen, loaded.image, timeouts, onByte);
    if (progressBar) {
        err << '\n';
        err.flush();
    }
    if (result != FlashResult::Written) {
        // Nothing more goes out on this line: the device may still take bytes as flash data.
        session.search.restart();
        err << flashFailureText(result) << '\n'
            << translate("Flash schreiben fehlgeschlagen!") << '\n';
        err.flush();
        return 1;
    }
    out << flashFailureText(result) << '\n';
    out.flush();
    return 0;
}
