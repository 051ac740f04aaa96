#include "LoaderCommandLine.h"

#include "DeviceSearch.h"
#include "FlashWriter.h"
#include "HexImage.h"
#include "Modem.h"
#include "Platform.h"
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
    const QFileInfo info(portSystemLocation(port));
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
        : search(modem, ttyList.isEmpty() ? defaultTtyList(currentPortSystem()) : ttyList)
    {
        modem.setBaudrate(57600);
    }

    Modem modem;
    DeviceSearch search;
    // Why ports that exist gave no device: one line per port, in the order of the search.
    QStringList portLines;
    QStringList portsNoted;
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
        QString line;
        if (tick.openFailure == OpenFailure::PermissionDenied)
            line = permissionHint(search.ttyName);
        else if (tick.openFailure == OpenFailure::Busy)
            line = translate("Port %1 ist belegt (von einem anderen Programm geoeffnet).")
                       .arg(search.ttyName);
        else if (tick.refused)
            line = translate("An %1 antwortet ein Geraet %2 mit FW: V%3.%4, das nicht "
                             "unterstuetzt wird.")
                       .arg(search.ttyName, search.hwFamily)
                       .arg(search.fwVersion / 100)
                       .arg(search.fwVersion % 100, 2, 10, QLatin1Char('0'));
        if (!line.isEmpty() && !session.portsNoted.contains(search.ttyName)) {
            session.portsNoted.append(search.ttyName);
            session.portLines.append(line);
        }
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
    for (const QString &line : std::as_const(session.portLines))
        err << line << '\n';
    err.flush();
    return false;
}

int LoaderCommandLine::probe(const QStringList &ttyList)
{
    Session session(ttyList);
    return findDevice(session) ? 0 : 1;
}

void LoaderCommandLine::showProgress(int sent, int total)
{
    constexpr int width = 40;
    const int done = total > 0 ? int(qint64(qBound(0, sent, total)) * width / total) : width;
    err << '\r' << '[' << QString(done, QLatin1Char('#')) << QString(width - done, QLatin1Char(' '))
        << "] " << QString::asprintf("Block: %i / %i", sent, total);
    err.flush();
}

int LoaderCommandLine::refuse(const HexLoadResult &loaded)
{
    err << hexStatusLine(loaded) << '\n';
    err.flush();
    return 1;
}

int LoaderCommandLine::flash(const QStringList &ttyList, const QString &hexFile,
                             double timeoutSeconds)
{
    // The file first: a bad file needs no device and holds no port.
    HexLoadResult loaded = readHexFile(hexFile);
    if (loaded.status != HexStatus::Accepted)
        return refuse(loaded);

    Session session(ttyList);
    if (!findDevice(session))
        return 1;
    checkProcessor(loaded, session.search.fwVersion);
    if (loaded.status != HexStatus::Accepted)
        return refuse(loaded);
    out << hexStatusText(loaded) << '\n';
    if (loaded.skippedBytes > 0)
        out << translate("%1 Byte in anderen Bereichen (Konfiguration, EEPROM) uebergangen.")
                   .arg(loaded.skippedBytes)
            << '\n';
    out.flush();

    FlashTimeouts timeouts;
    timeouts.kMs = int(std::lround(timeoutSeconds * 1000.0));
    timeouts.firstKMs = 2 * timeouts.kMs;
    FlashHooks hooks;
    if (progressBar)
        hooks.onBlock = [this](int sent, int total) { showProgress(sent, total); };
    hooks.stopRequested = [] { return Platform::stopSignal() != 0; };

    // From here on a request to end the program ends the transfer between two blocks.
    Platform::catchStopSignals();
    const FlashResult result =
        writeFlash(session.modem, session.search.ttyOpen, loaded.image, timeouts, hooks);
    const int signalNumber = Platform::stopSignal();
    if (result != FlashResult::Written) {
        // Nothing more goes out on this line: the device may still take bytes as flash data.
        session.search.restart();
    }
    Platform::releaseStopSignals();
    if (progressBar) {
        err << '\n';
        err.flush();
    }
    if (result == FlashResult::Interrupted) {
        err << flashFailureText(result) << '\n'
            << translate("Das Geraet hat jetzt eine unvollstaendige Firmware: vor dem naechsten "
                         "Flashen aus- und wieder einschalten.")
            << '\n';
        err.flush();
        return 128 + signalNumber;
    }
    if (result != FlashResult::Written) {
        err << flashFailureText(result) << '\n'
            << translate("Flash schreiben fehlgeschlagen!") << '\n';
        err.flush();
        return 1;
    }
    out << flashFailureText(result) << '\n';
    out.flush();
    return 0;
}

int LoaderCommandLine::check(const QString &hexFile, const QString &processor)
{
    const HexLoadResult layout = readHexFile(hexFile);
    if (layout.status != HexStatus::Accepted) {
        out << hexStatusLine(layout) << '\n';
        out.flush();
        return 1;
    }
    const FirmwareImage &firmware = layout.image;
    const int blocks = flashBlockTotal(firmware);
    out << translate("Daten: %1 Byte, Adressen %2 bis %3")
               .arg(layout.dataBytes)
               .arg(QString::asprintf("0x%04X", layout.firstAddress),
                    QString::asprintf("0x%04X", firmware.lastAddress))
        << '\n'
        << translate("Zu schreiben: %1 Bloecke zu 64 Byte (%2 Byte)").arg(blocks).arg(blocks * 64)
        << '\n'
        << translate("Uebergangen: %1 Byte in anderen Bereichen (Konfiguration, EEPROM)")
               .arg(layout.skippedBytes)
        << '\n';

    // A firmware version that stands for each processor.
    const struct
    {
        const char *name;
        int fwVersion;
    } processors[] = {{"PIC18F26K22", 103}, {"PIC18LF26K80", 200}};
    bool suitable = false;
    for (const auto &known : processors) {
        if (!processor.isEmpty() && processor != QLatin1String(known.name))
            continue;
        HexLoadResult judged = layout;
        checkProcessor(judged, known.fwVersion);
        suitable = suitable || judged.status == HexStatus::Accepted;
        out << known.name << ": " << hexStatusLine(judged) << '\n';
    }
    out.flush();
    return suitable ? 0 : 1;
}
