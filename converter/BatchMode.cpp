#include "BatchMode.h"

#include "ChannelConversion.h"
#include "CommandLine.h"
#include "CsvFile.h"
#include "CurveMarkers.h"
#include "Diagnostics.h"
#include "FileCause.h"
#include "Kurvendiagramm.h"
#include "MessageText.h"
#include "NewCurveFile.h"
#include "OldCurveFile.h"
#include "Platform.h"
#include "Translation.h"

#include <QApplication>
#include <QDir>
#include <QLoggingCategory>
#include <QSet>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

using CommandLine::ExitStatus;

// One line, whatever names and files put into it.
void print(FILE *stream, const QString &line)
{
    CommandLine::print(stream, shownInMessage(line) + QLatin1Char('\n'));
}

// Whether everything written to stdout reached it.
bool ausgabeGeschrieben()
{
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

// The folder of an absolute path, by its text alone: names keep the bytes they came with.
QString parentOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

// Whether the folder exists or can be made: its nearest existing folder must take new files.
Platform::FileResult ordnerMoeglich(const QString &folder)
{
    QString pfad = Platform::absoluteName(folder);
    Platform::FileStatus status = Platform::fileStatus(pfad);
    while (status.kind == Platform::FileKind::Missing && status.result.ok()) {
        const QString oben = parentOf(pfad);
        if (oben == pfad)
            break;
        pfad = oben;
        status = Platform::fileStatus(pfad);
    }
    if (!status.result.ok())
        return status.result;
    if (status.kind != Platform::FileKind::Folder) {
        Platform::FileResult r;
        r.error = status.kind == Platform::FileKind::DanglingLink ? Platform::FileError::NotFound
                                                                  : Platform::FileError::NotAFolder;
        return r;
    }
    return Platform::folderWritable(pfad);
}

class Batch
{
public:
    explicit Batch(const ConverterOptions &options)
        : options(options)
        , record(std::make_unique<CurveRecord>())
    {
    }

    int run()
    {
        if (!options.outputDir.isEmpty()) {
            const Platform::FileResult r = ordnerMoeglich(options.outputDir);
            if (!r.ok()) {
                const bool vorhanden =
                    Platform::fileStatus(options.outputDir).kind == Platform::FileKind::Folder;
                print(stderr, QStringLiteral("zor2conv: %1")
                                  .arg(vorhanden ? ordnerNichtBeschreibbar(options.outputDir, r)
                                                 : ordnerFehler(options.outputDir, r)));
                return ExitStatus::Failed;
            }
        }
        for (const QString &input : options.inputs) {
            if (Platform::fileStatus(input).kind != Platform::FileKind::Missing)
                eingaben.insert(NewCurveFile::vergleichsPfad(input));
        }
        // A request to stop ends the batch between two inputs: the input in hand is finished
        // (all its outputs new) or, should its save fail, rolled back (all old), and every
        // temporary file of it removed, as at any other end.
        Platform::catchStopSignals();
        bool allOk = true;
        int bearbeitet = 0;
        for (const QString &input : options.inputs) {
            if (Platform::stopSignal() != 0)
                break;
            const QString fehler = convert(input);
            ++bearbeitet;
            if (!fehler.isEmpty()) {
                print(stderr, QStringLiteral("%1: %2").arg(input, fehler));
                allOk = false;
            }
        }
        const int signal = Platform::stopSignal();
        if (signal != 0) {
            print(stderr, QStringLiteral("zor2conv: %1")
                              .arg(BatchMode::tr("durch Signal %1 abgebrochen, %2 von %3 "
                                                 "Eingaben bearbeitet")
                                       .arg(signal)
                                       .arg(bearbeitet)
                                       .arg(options.inputs.size())));
        }
        // Names on a full or closed standard output are lost: that is a failure too.
        if (!ausgabeGeschrieben()) {
            print(stderr,
                  QStringLiteral("zor2conv: %1")
                      .arg(BatchMode::tr("die Standardausgabe kann nicht geschrieben werden")));
            return ExitStatus::Failed;
        }
        if (signal != 0)
            return 128 + signal;
        return allOk ? ExitStatus::Done : ExitStatus::Failed;
    }

private:
    static QString ordnerFehler(const QString &folder, const Platform::FileResult &r)
    {
        return BatchMode::tr("der Ausgabeordner %1 kann nicht angelegt werden: %2")
            .arg(folder, FileCause::text(r));
    }
    // The folder exists, but takes no file.
    static QString ordnerNichtBeschreibbar(const QString &folder, const Platform::FileResult &r)
    {
        return BatchMode::tr("in den Ausgabeordner %1 kann nichts geschrieben werden: %2")
            .arg(folder, FileCause::text(r));
    }

    // Converts one input; returns why it was refused, or an empty text.
    QString convert(const QString &input)
    {
        // Names by their text alone, never through Qt's file names: a name that is no UTF-8
        // keeps its bytes up to the system calls and into the output names made from it.
        const QString path = Platform::absoluteName(QDir::fromNativeSeparators(input));
        const OldCurveFile::Ergebnis gelesen = OldCurveFile::kurveAltOeffnen(path, *record);
        if (!gelesen.ok())
            return gelesen.grund();
        if (!kurveKonvertieren(*record))
            return BatchMode::tr("Impedanzkurve, kann nicht umgewandelt werden");
        const QString problem = convertedCurveProblem(*record);
        if (!problem.isEmpty())
            return problem;

        const QString dir =
            options.outputDir.isEmpty()
                ? parentOf(path)
                : Platform::absoluteName(QDir::fromNativeSeparators(options.outputDir));
        // The input's name without its last suffix.
        const QString datei = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
        const QString basis =
            dir + QLatin1Char('/') + datei.left(datei.lastIndexOf(QLatin1Char('.')));
        const bool beide = record->kanal1ok && record->kanal2ok;
        QStringList namen = {NewCurveFile::kanal1Datei(basis),
                             NewCurveFile::kanal2Datei(basis, beide)};
        const QString csvName = basis + QStringLiteral(".csv");
        if (options.csv)
            namen.append(csvName);
        if (options.png)
            namen.append(basis + QStringLiteral(".png"));
        for (const QString &name : namen) {
            const QString vergleich = NewCurveFile::vergleichsPfad(name);
            if (written.contains(vergleich))
                return BatchMode::tr("die Ausgabedatei %1 wurde in diesem Lauf schon geschrieben")
                    .arg(name);
            if (eingaben.contains(vergleich))
                return BatchMode::tr(
                           "die Ausgabedatei %1 wuerde eine Eingabe dieses Laufs ersetzen")
                    .arg(name);
        }

        // The output folder is made at the first write only.
        const Platform::FileResult ordner = Platform::makeFolders(dir);
        if (!ordner.ok())
            return ordnerFehler(dir, ordner);

        const QString beschreibung = textPanelText(record->beschreibung);
        QList<NewCurveFile::Beilage> beilagen;
        // The table and the picture join the curve files: all of them are replaced, or none.
        if (options.csv)
            beilagen.append({csvName, CsvFile::inhalt(*record)});
        if (options.png) {
            if (!diagramm)
                diagramm = std::make_unique<Kurvendiagramm>();
            diagramm->kurveZeigen(*record, beschreibung);
            const QByteArray bild = diagramm->png(kBildGroesse);
            if (bild.isEmpty())
                return BatchMode::tr("das Bild %1 kann nicht erzeugt werden").arg(namen.last());
            beilagen.append({namen.last(), bild});
        }
        const NewCurveFile::Ergebnis ergebnis =
            NewCurveFile::kurveNeuSpeichernAlleOderKeine(basis, beschreibung, *record, beilagen);
        if (!ergebnis.ok()) {
            return BatchMode::tr("die Ausgabedatei %1 kann nicht geschrieben werden: %2")
                .arg(ergebnis.fehlgeschlagen.constFirst(), ergebnis.gruende.constFirst());
        }
        for (const QString &name : ergebnis.geschrieben) {
            written.insert(NewCurveFile::vergleichsPfad(name));
            print(stdout, name + markenText(name, basis));
        }
        return QString();
    }

    // With --markers, what follows a curve file's name: its channel's markers.
    QString markenText(const QString &name, const QString &basis) const
    {
        const bool beide = record->kanal1ok && record->kanal2ok;
        int kanal = 0;
        if (record->kanal1ok && name == NewCurveFile::kanal1Datei(basis))
            kanal = 1;
        else if (record->kanal2ok && name == NewCurveFile::kanal2Datei(basis, beide))
            kanal = 2;
        if (!options.markers || kanal == 0)
            return QString();
        const NewCurveFile::KanalPunkte p = NewCurveFile::kanalPunkte(*record, kanal);
        const CurveMarkers marken =
            CurveMarkers::compute(p.frequenz, p.wert, p.anzahl, quantityOf(*record));
        return QStringLiteral(": ") +
               marken.text(frequencyDecimals(record->wobbelgrunddaten.schrittweite));
    }

    const ConverterOptions &options;
    std::unique_ptr<CurveRecord> record;      // about 400 KB: one for all inputs
    QSet<QString> eingaben;                   // every input of this run, for comparing
    QSet<QString> written;                    // every output of this run, for comparing
    std::unique_ptr<Kurvendiagramm> diagramm; // draws the pictures of --png
};

// A language option that did not load may be a file meant for conversion: say so, once each.
void sprachenPruefen(const ConverterOptions &options, bool geladen)
{
    for (int i = geladen ? 1 : 0; i < options.languageOptions.size(); ++i) {
        const QString &option = options.languageOptions.at(i);
        print(stderr, QStringLiteral("zor2conv: %1")
                          .arg(BatchMode::tr("%1: keine Uebersetzung geladen; eine Datei dieses "
                                             "Namens wandelt zor2conv --convert -- %1 um")
                                   .arg(option)));
    }
}

} // namespace

int BatchMode::run(int &argc, char **argv, const ConverterOptions &options)
{
    // Pictures are drawn through Qt Widgets, which needs a GUI application: on the offscreen
    // platform, which draws without a display. Named last, it wins over any -platform given.
    const bool bilder =
        options.png && options.mode == ConverterOptions::Mode::Convert && !options.error.isSet();
    std::vector<char *> argumente(argv, argv + argc);
    char platform[] = "-platform";
    char offscreen[] = "offscreen";
    if (bilder) {
        argumente.push_back(platform);
        argumente.push_back(offscreen);
    }
    int anzahl = int(argumente.size());
    argumente.push_back(nullptr);
    // The diagnostic lines stay off unless asked for; switched off at the source, so that the
    // conversion does not even format them. So do Qt's remarks on the picture platform (no
    // XDG_RUNTIME_DIR and the like), which are no business of the batch mode's user.
    if (options.verbose) {
        enableDiagnostics();
    } else if (bilder) {
        QLoggingCategory::setFilterRules(
            QStringLiteral("default.warning=false\nqt.*.warning=false"));
    }
    const std::unique_ptr<QCoreApplication> anwendung =
        bilder ? std::make_unique<QApplication>(anzahl, argumente.data())
               : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication &app = *anwendung;
    const bool geladen = installTranslation(app);

    using Mode = ConverterOptions::Mode;
    if (options.error.isSet()) {
        return CommandLine::reportUsageError(QStringLiteral("zor2conv"), options.errorText(),
                                             ConverterOptions::usage() + QLatin1Char('\n'));
    }
    switch (options.mode) {
    case Mode::Help:
        // The program's own text, with its line breaks: not escaped as a message is.
        CommandLine::print(stdout, ConverterOptions::usage() + QLatin1Char('\n'));
        return ausgabeGeschrieben() ? ExitStatus::Done : ExitStatus::Failed;
    case Mode::Version:
        print(stdout, QStringLiteral("zor2conv " ZOR2_VERSION));
        return ausgabeGeschrieben() ? ExitStatus::Done : ExitStatus::Failed;
    case Mode::Window:
        print(stderr, QStringLiteral("zor2conv: %1")
                          .arg(tr("kein Bildschirm gefunden (DISPLAY und WAYLAND_DISPLAY sind "
                                  "leer); ohne Fenster umwandeln: zor2conv --convert DATEI.hfd")));
        return ExitStatus::UsageError;
    case Mode::Convert:
        break;
    }
    sprachenPruefen(options, geladen);
    return Batch(options).run();
}
