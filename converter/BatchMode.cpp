#include "BatchMode.h"

#include "ChannelConversion.h"
#include "NewCurveFile.h"
#include "OldCurveFile.h"
#include "Translation.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSet>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

enum Exit { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

struct Options
{
    QStringList inputs;
    QString outputDir;
    bool help = false;
    bool verbose = false;
    // A wrong call; told once the translation is installed.
    enum class Error { None, NoInput, UnknownOption, NoFolder } error = Error::None;
    QString unknownOption;
};

Options parse(const QStringList &arguments)
{
    Options o;
    bool onlyFiles = false;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        if (onlyFiles || !a.startsWith(QLatin1Char('-')) || a == QLatin1String("-")) {
            o.inputs.append(a);
        } else if (a == QLatin1String("--")) {
            onlyFiles = true;
        } else if (a == QLatin1String("--convert")) {
        } else if (a == QLatin1String("--help")) {
            o.help = true;
        } else if (a == QLatin1String("--verbose")) {
            o.verbose = true;
        } else if (a == QLatin1String("--output-dir") ||
                   a.startsWith(QLatin1String("--output-dir="))) {
            const bool folgt = a.size() == int(std::strlen("--output-dir"));
            o.outputDir = folgt ? arguments.value(++i) : a.mid(int(std::strlen("--output-dir=")));
            if (o.outputDir.isEmpty()) {
                o.error = Options::Error::NoFolder;
                return o;
            }
        } else if (a.startsWith(QLatin1String("-l"))) {
            // the language, taken by installTranslation
        } else {
            o.error = Options::Error::UnknownOption;
            o.unknownOption = a;
            return o;
        }
    }
    if (!o.help && o.inputs.isEmpty())
        o.error = Options::Error::NoInput;
    return o;
}

void print(FILE *stream, const QString &line)
{
    std::fputs((line + QLatin1Char('\n')).toLocal8Bit().constData(), stream);
}

QString usageError(const Options &o)
{
    switch (o.error) {
    case Options::Error::NoInput:
        return BatchMode::tr("keine Eingabedatei angegeben");
    case Options::Error::UnknownOption:
        return BatchMode::tr("unbekannte Option %1").arg(o.unknownOption);
    case Options::Error::NoFolder:
        return BatchMode::tr("--output-dir braucht einen Ordner");
    case Options::Error::None:
        break;
    }
    return QString();
}

QString usage()
{
    return BatchMode::tr(
        "Aufruf: zor2conv --convert DATEI.hfd [DATEI.hfd ...] [--output-dir ORDNER] [--verbose]\n"
        "\n"
        "Wandelt alte Kurvendateien (.hfd) ohne Fenster in Kurvendateien des neuen\n"
        "Formats um: je Eingabe NAME.z2k (Kanal 1) und NAME_2.z2k (Kanal 2), im Ordner\n"
        "der Eingabe oder in ORDNER. Vorhandene Dateien gleichen Namens werden ersetzt.\n"
        "\n"
        "  --output-dir ORDNER  schreibt die neuen Dateien nach ORDNER (wird angelegt)\n"
        "  --verbose            gibt die Diagnosezeilen aus\n"
        "  -l<Sprache>          laedt eine Uebersetzung, zum Beispiel -len\n"
        "  --help               zeigt diese Hilfe\n"
        "\n"
        "Exit-Status: 0 alle Eingaben umgewandelt, 1 mindestens eine nicht, 2 falscher Aufruf.");
}

QString reason(OldCurveFile::Fehler fehler)
{
    switch (fehler) {
    case OldCurveFile::Fehler::NichtLesbar:
        return BatchMode::tr("Datei kann nicht gelesen werden");
    case OldCurveFile::Fehler::KeinAltformat:
        return BatchMode::tr("keine Kurvendatei im alten Format");
    case OldCurveFile::Fehler::ZuVieleSchritte:
        return BatchMode::tr("zu viele Frequenzschritte (hoechstens 9999)");
    case OldCurveFile::Fehler::UnbekannterModus:
        return BatchMode::tr("unbekannte Kurvenart");
    case OldCurveFile::Fehler::KeineZahl:
        return BatchMode::tr("ein Feld enthaelt keine gueltige Zahl");
    case OldCurveFile::Fehler::Ok:
        break;
    }
    return QString();
}

// What the window's text panel hands back for a text set into it: its plain text turns
// non-breaking spaces into blanks, and carriage returns (alone or before a line feed) and
// paragraph or line separators into line feeds.
QString textPanelText(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    for (QChar &c : text) {
        if (c == QChar::Nbsp)
            c = QLatin1Char(' ');
        else if (c == QLatin1Char('\r') || c == QChar::ParagraphSeparator ||
                 c == QChar::LineSeparator)
            c = QLatin1Char('\n');
    }
    return text;
}

class Batch
{
public:
    explicit Batch(const Options &options)
        : options(options)
        , record(std::make_unique<CurveRecord>())
    {
    }

    int run()
    {
        if (!options.outputDir.isEmpty())
            QDir().mkpath(options.outputDir);
        bool allOk = true;
        for (const QString &input : options.inputs) {
            const QString fehler = convert(input);
            if (!fehler.isEmpty()) {
                print(stderr, QStringLiteral("%1: %2").arg(input, fehler));
                allOk = false;
            }
        }
        return allOk ? ExitOk : ExitFailed;
    }

private:
    // Converts one input; returns why it was refused, or an empty text.
    QString convert(const QString &input)
    {
        const QFileInfo info(input);
        const QString path = QDir::fromNativeSeparators(info.absoluteFilePath());
        record->kurveLoeschen();
        const OldCurveFile::Ergebnis gelesen = OldCurveFile::kurveAltLesen(path, *record);
        if (!gelesen.ok())
            return reason(gelesen.fehler);
        OldCurveFile::beschreibungUebernehmen(*record);
        OldCurveFile::kopfdatenAusgeben(*record);
        if (!kurveKonvertieren(*record))
            return BatchMode::tr("Impedanzkurve, kann nicht umgewandelt werden");

        const QString dir = options.outputDir.isEmpty()
                                ? info.absolutePath()
                                : QFileInfo(options.outputDir).absoluteFilePath();
        const QString basis =
            QDir::fromNativeSeparators(dir) + QLatin1Char('/') + info.completeBaseName();
        const bool beide = record->kanal1ok && record->kanal2ok;
        for (const QString &name :
             {NewCurveFile::kanal1Datei(basis), NewCurveFile::kanal2Datei(basis, beide)}) {
            if (written.contains(QDir::cleanPath(name)))
                return BatchMode::tr("die Ausgabedatei %1 wurde in diesem Lauf schon geschrieben")
                    .arg(name);
        }

        const NewCurveFile::Ergebnis ergebnis = NewCurveFile::kurveNeuSpeichern(
            basis, textPanelText(record->beschreibung), *record, true);
        if (!ergebnis.ok()) {
            return BatchMode::tr("die Ausgabedatei %1 kann nicht geschrieben werden")
                .arg(ergebnis.fehlgeschlagen.constFirst());
        }
        for (const QString &name : ergebnis.geschrieben) {
            written.insert(QDir::cleanPath(name));
            print(stdout, name);
        }
        return QString();
    }

    const Options &options;
    std::unique_ptr<CurveRecord> record; // about 400 KB: one for all inputs
    QSet<QString> written;
};

} // namespace

bool BatchMode::isRequested(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--convert") == 0 || std::strcmp(argv[i], "--help") == 0)
            return true;
    }
    return false;
}

int BatchMode::run(int &argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const Options options = parse(QCoreApplication::arguments());
    // The diagnostic lines stay off unless asked for; switched off at the source, so that the
    // conversion does not even format them.
    if (!options.verbose)
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    installTranslation(app);

    if (options.help) {
        print(stdout, usage());
        return ExitOk;
    }
    if (options.error != Options::Error::None) {
        print(stderr, QStringLiteral("zor2conv: %1").arg(usageError(options)));
        print(stderr, usage());
        return ExitUsage;
    }
    return Batch(options).run();
}
