#include "LoaderOptions.h"

#include "commandline/CommandLine.h"
#include "core/DeviceIdentity.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

// The wait for one "k" a person can ask for: below a tenth of a second no device answers, and
// beyond a day it is a typing error.
constexpr double minTimeoutSeconds = 0.1;
constexpr double maxTimeoutSeconds = 86400.0;

using Kind = CommandLine::OptionsError::Kind;

} // namespace

// The loader's options, in the order the help lists them.
void LoaderOptions::declareOptions(OptionParser &parser)
{
    parser.addOption(
        {QStringLiteral("probe"), tr("sucht die seriellen Ports einmal ab und nennt das gefundene\n"
                                     "Geraet")});
    parser.addOption({QStringLiteral("flash"),
                      tr("prueft die Firmware-Datei, sucht das Geraet und schreibt die\n"
                         "Datei in seinen Flash"),
                      tr("DATEI.hex")});
    parser.addOption({QStringLiteral("check"),
                      tr("beurteilt die Firmware-Datei wie --flash, fuer jeden Prozessor,\n"
                         "ohne Geraet; es wird kein Port geoeffnet"),
                      tr("DATEI.hex")});
    parser.addOption({QStringLiteral("processor"),
                      tr("mit --check: nur fuer PIC18F26K22 oder PIC18LF26K80 beurteilen"),
                      QStringLiteral("NAME")});
    parser.addOption({QStringLiteral("port"),
                      tr("sucht nur an diesem Port (mehrfach moeglich); sonst werden die\n"
                         "ueblichen seriellen Ports des Systems abgesucht"),
                      tr("PFAD")});
    parser.addOption({QStringLiteral("timeout"),
                      tr("laengste Wartezeit auf jede Blockanforderung des Geraets, von\n"
                         "0.1 bis 86400 (Vorgabe 5, Bruchteile erlaubt; fuer die erste\n"
                         "doppelt so lang, waehrend das Geraet loescht)"),
                      tr("SEKUNDEN")});
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, tr("zeigt diese Hilfe")});
    parser.addOption({QStringLiteral("version"), tr("zeigt die Version des Programms")});
    parser.addWindowOptions();
}

// The one mode asked for; several are an error.
CommandLine::OptionsError LoaderOptions::takeMode(const OptionParser &parser,
                                                  LoaderOptions &options)
{
    const struct
    {
        const char *name;
        LoaderOptions::Mode mode;
    } modes[] = {{"probe", Mode::Probe}, {"flash", Mode::Flash}, {"check", Mode::Check}};
    QStringList given;
    for (const auto &mode : modes) {
        if (parser.isSet(QLatin1String(mode.name))) {
            given << QStringLiteral("--") + QLatin1String(mode.name);
            options.mode = mode.mode;
        }
    }
    const QString named = given.join(QStringLiteral(", "));
    if (given.size() > 1)
        return {Kind::Combination, named, tr("%1 schliessen einander aus").arg(named)};
    if (options.mode != Mode::Flash && options.mode != Mode::Check)
        return {};
    const QString name = given.first();
    const QStringList files = parser.values(name.mid(2));
    options.hexFile = files.first();
    if (files.size() > 1)
        return {Kind::Repeated, name, tr("%1 ist zweimal angegeben").arg(name)};
    if (options.hexFile.isEmpty())
        return {Kind::MissingValue, name, tr("%1 braucht einen Dateinamen").arg(name)};
    return {};
}

CommandLine::OptionsError LoaderOptions::takeValues(const OptionParser &parser,
                                                    LoaderOptions &options)
{
    options.ports = parser.values(QStringLiteral("port"));
    if (options.ports.contains(QString()))
        return {Kind::MissingValue, QStringLiteral("--port"), tr("--port braucht einen Portnamen")};
    options.processor = parser.value(QStringLiteral("processor")).toUpper();
    const auto known = [&options](const KnownProcessor &p) {
        return options.processor == QLatin1String(p.name);
    };
    if (parser.isSet(QStringLiteral("processor")) &&
        std::none_of(std::begin(knownProcessors), std::end(knownProcessors), known))
        return {Kind::WrongValue, QStringLiteral("--processor"),
                tr("--processor braucht PIC18F26K22 oder PIC18LF26K80")};
    if (parser.isSet(QStringLiteral("timeout"))) {
        bool ok = false;
        options.timeoutSeconds = parser.value(QStringLiteral("timeout")).toDouble(&ok);
        if (!ok || !std::isfinite(options.timeoutSeconds) ||
            options.timeoutSeconds < minTimeoutSeconds ||
            options.timeoutSeconds > maxTimeoutSeconds)
            return {Kind::WrongValue, QStringLiteral("--timeout"),
                    tr("--timeout braucht eine Zahl von Sekunden von %1 bis %2")
                        .arg(minTimeoutSeconds)
                        .arg(maxTimeoutSeconds)};
    }
    return {};
}

// Options that belong to one mode only.
CommandLine::OptionsError LoaderOptions::checkCombination(const OptionParser &parser,
                                                          const LoaderOptions &options)
{
    if (parser.isSet(QStringLiteral("timeout")) && options.mode != Mode::Flash)
        return {Kind::Combination, QStringLiteral("--timeout"),
                tr("--timeout gilt nur mit --flash")};
    if (parser.isSet(QStringLiteral("processor")) && options.mode != Mode::Check)
        return {Kind::Combination, QStringLiteral("--processor"),
                tr("--processor gilt nur mit --check")};
    if (parser.isSet(QStringLiteral("port")) && options.mode == Mode::Check)
        return {Kind::Combination, QStringLiteral("--port"),
                tr("--check oeffnet keinen Port; --port gilt nicht mit ihm")};
    return {};
}

LoaderOptions LoaderOptions::parse(const QStringList &arguments)
{
    LoaderOptions options;
    OptionParser parser;
    declareOptions(parser);
    if (!parser.parse(arguments)) {
        options.error = parser.error();
    } else if (parser.isSet(QStringLiteral("help"))) {
        options.mode = Mode::Help;
    } else if (parser.isSet(QStringLiteral("version"))) {
        options.mode = Mode::Version;
    } else {
        options.error = takeMode(parser, options);
        if (!options.error.isSet())
            options.error = takeValues(parser, options);
        if (!options.error.isSet())
            options.error = checkCombination(parser, options);
    }
    return options;
}

QString LoaderOptions::helpText(const QString &programName)
{
    OptionParser parser;
    declareOptions(parser);
    return tr("Aufruf: %1 [--port PFAD]...\n"
              "        %1 --probe [--port PFAD]...\n"
              "        %1 --flash DATEI.hex [--port PFAD]... [--timeout SEKUNDEN]\n"
              "        %1 --check DATEI.hex [--processor NAME]\n"
              "\n"
              "Ohne --probe, --flash oder --check startet das Fenster und sucht das Geraet;\n"
              "es braucht eine Anzeige.\n"
              "\n"
              "Optionen:\n")
               .arg(programName) +
           parser.optionsHelp() +
           tr("\n"
              "Strg-C, SIGTERM oder SIGHUP beenden --flash nach dem laufenden Block; das\n"
              "Geraet muss dann aus- und wieder eingeschaltet werden, bevor es wieder\n"
              "geflasht wird. Waehrend der Suche schliessen sie die Ports und beenden das\n"
              "Programm.\n"
              "\n"
              "Exit-Status: 0 erledigt (--check: die Datei passt zum Prozessor oder zu einem\n"
              "von beiden), 1 kein Geraet, Datei abgelehnt oder Uebertragung fehlgeschlagen,\n"
              "2 falscher Aufruf oder keine Anzeige, 128 + Nummer des Signals, wenn ein\n"
              "Signal die Uebertragung oder die Suche beendet hat.\n");
}
