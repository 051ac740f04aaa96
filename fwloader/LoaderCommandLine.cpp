#include "LoaderCommandLine.h"

#include "commandline/CommandLine.h"
#include "core/DeviceSearch.h"
#include "core/FlashWriter.h"
#include "core/HexImage.h"
#include "core/Modem.h"
#include "platform/Platform.h"

#include <QCoreApplication>

#include <cmath>

namespace {

QString translate(const char *text)
{
    return QCoreApplication::translate("LoaderWindow", text);
}

} // namespace

// The search and the port it found, for one run.
class LoaderCommandLine::Session
{
public:
    explicit Session(const QStringList &ttyList)
        : search(ttyList)
        , named(!ttyList.isEmpty())
    {
    }

    DeviceSearch search;
    bool named; // the user named the ports: each gets its line when no device is found
};

LoaderCommandLine::LoaderCommandLine(QTextStream &out, QTextStream &err, bool progressBar)
    : out(out)
    , err(err)
    , progressBar(progressBar)
{
}

int LoaderCommandLine::run(const LoaderOptions &options)
{
    switch (options.mode) {
    case LoaderOptions::Mode::Probe:
        return probe(options.ports);
    case LoaderOptions::Mode::Check:
        return check(options.hexFile, options.processor);
    case LoaderOptions::Mode::Flash:
        return flash(options.ports, options.hexFile, options.timeoutSeconds);
    default:
        return CommandLine::UsageError;
    }
}

bool LoaderCommandLine::findDevice(Session &session)
{
    DeviceSearch &search = session.search;
    if (progressBar) {
        QObject::connect(&search, &DeviceSearch::progress, [this](int settled, int total) {
            showBar(settled, total, translate("Suche HW: %1 / %2 Ports").arg(settled).arg(total));
        });
    }
    // A stop signal ends the search with every port closed, so that no lock file stays behind.
    Platform::catchStopSignals();
    const bool found = search.searchOnce([] { return Platform::stopSignal() != 0; });
    if (progressBar) {
        err << '\n';
        err.flush();
    }
    if (Platform::stopSignal() != 0)
        return false;
    if (found) {
        out << foundText(search.ttyName()) << '\n' << firmwareLine(search.identity()) << '\n';
        out.flush();
        return true;
    }
    err << translate("Keine HW gefunden!") << '\n';
    // Ports the user named each get their reason; of the usual list only those worth a word.
    for (const PortResult &port : search.results()) {
        if (session.named || isNotableOutcome(port.outcome))
            err << portOutcomeText(port) << '\n';
    }
    err.flush();
    return false;
}

int LoaderCommandLine::probe(const QStringList &ttyList)
{
    Session session(ttyList);
    const bool found = findDevice(session);
    Platform::releaseStopSignals();
    if (Platform::stopSignal() != 0)
        return 128 + Platform::stopSignal();
    return found ? CommandLine::Done : CommandLine::Failed;
}

void LoaderCommandLine::showBar(int done, int total, const QString &text)
{
    constexpr int width = 40;
    const int filled = total > 0 ? int(qint64(qBound(0, done, total)) * width / total) : width;
    err << '\r' << '[' << QString(filled, QLatin1Char('#'))
        << QString(width - filled, QLatin1Char(' ')) << "] " << text;
    err.flush();
}

void LoaderCommandLine::showProgress(int sent, int total)
{
    showBar(sent, total, QString::asprintf("Block: %i / %i", sent, total));
}

int LoaderCommandLine::refuse(const HexLoadResult &loaded)
{
    err << hexStatusLine(loaded) << '\n';
    err.flush();
    return CommandLine::Failed;
}

void LoaderCommandLine::showAccepted(const HexLoadResult &loaded)
{
    out << hexStatusText(loaded) << '\n';
    if (loaded.skippedBytes > 0)
        out << translate("%1 Byte in anderen Bereichen (Konfiguration, EEPROM) uebergangen.")
                   .arg(loaded.skippedBytes)
            << '\n';
    out.flush();
}

int LoaderCommandLine::flash(const QStringList &ttyList, const QString &hexFile,
                             double timeoutSeconds)
{
    // The file first: a bad file needs no device and holds no port.
    HexLoadResult loaded = readHexFile(hexFile);
    if (loaded.status != HexStatus::Accepted)
        return refuse(loaded);

    // Signals stay caught from the search until the transfer takes them over: a stop in between
    // still closes the port.
    Session session(ttyList);
    const bool found = findDevice(session);
    if (found)
        checkProcessor(loaded, session.search.identity().fwVersion);
    if (!found || loaded.status != HexStatus::Accepted || Platform::stopSignal() != 0) {
        Platform::releaseStopSignals();
        if (Platform::stopSignal() != 0)
            return 128 + Platform::stopSignal();
        return found ? refuse(loaded) : CommandLine::Failed;
    }
    showAccepted(loaded);

    FlashTimeouts timeouts;
    timeouts.kMs = int(std::lround(timeoutSeconds * 1000.0));
    timeouts.firstKMs = 2 * timeouts.kMs;
    std::function<void(int, int)> onBlock;
    if (progressBar)
        onBlock = [this](int sent, int total) { showProgress(sent, total); };
    const FlashResult result = flashFoundDevice(session.search, loaded.image, timeouts, onBlock);
    if (progressBar) {
        err << '\n';
        err.flush();
    }
    return reportFlash(result);
}

int LoaderCommandLine::reportFlash(FlashResult result)
{
    if (result == FlashResult::Written) {
        out << flashResultText(result) << '\n';
        out.flush();
        return CommandLine::Done;
    }
    err << flashResultText(result) << '\n';
    if (result != FlashResult::Interrupted)
        err << translate("Flash schreiben fehlgeschlagen!") << '\n';
    const QString advice = flashFailureAdvice(result);
    if (!advice.isEmpty())
        err << advice << '\n';
    err.flush();
    return result == FlashResult::Interrupted ? 128 + Platform::stopSignal() : CommandLine::Failed;
}

int LoaderCommandLine::check(const QString &hexFile, const QString &processor)
{
    const HexLoadResult layout = readHexFile(hexFile);
    if (layout.status != HexStatus::Accepted) {
        out << hexStatusLine(layout) << '\n';
        out.flush();
        return CommandLine::Failed;
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

    bool suitable = false;
    for (const KnownProcessor &known : knownProcessors) {
        if (!processor.isEmpty() && processor != QLatin1String(known.name))
            continue;
        HexLoadResult judged = layout;
        checkProcessor(judged, known.fwVersion);
        suitable = suitable || judged.status == HexStatus::Accepted;
        out << known.name << ": " << hexStatusLine(judged) << '\n';
    }
    out.flush();
    return suitable ? CommandLine::Done : CommandLine::Failed;
}
