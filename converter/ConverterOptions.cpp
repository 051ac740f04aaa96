#include "ConverterOptions.h"

#include "DroppedFiles.h"
#include "commandline/CommandLine.h"

// The converter's options, in the order the help lists them.
void ConverterOptions::declareOptions(OptionParser &parser)
{
    // The call's first line names --convert; the list holds what goes with it.
    QCommandLineOption convert(QStringLiteral("convert"), QString());
    convert.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(convert);
    parser.addOption({QStringLiteral("output-dir"),
                      tr("schreibt die neuen Dateien nach ORDNER (wird angelegt)"), tr("ORDNER")});
    parser.addOption(
        {QStringLiteral("png"), tr("schreibt je Eingabe auch NAME.png, ein Bild beider Kanaele\n"
                                   "(1200 x 800 Pixel)")});
    parser.addOption(
        {QStringLiteral("csv"), tr("schreibt je Eingabe auch NAME.csv fuer Tabellenprogramme\n"
                                   "(Semikolon, Dezimalkomma)")});
    parser.addOption(
        {QStringLiteral("markers"), tr("schreibt hinter jede neue Kurvendatei ihre Marken:\n"
                                       "Minimum oder Maximum, Bandbreite (SWV <= 2, -3 dB)")});
    parser.addOption({QStringLiteral("verbose"), tr("gibt die Diagnosezeilen aus")});
    parser.addHelpLine(tr("-l<Sprache>"), tr("laedt eine Uebersetzung, zum Beispiel -len"));
    parser.addHelpLine(QStringLiteral("--"),
                       tr("alle folgenden Woerter sind Dateien, auch wenn sie\n"
                          "mit - beginnen: zor2conv --convert -- -lauf.hfd"));
    parser.addOption({QStringLiteral("version"), tr("zeigt die Version")});
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, tr("zeigt diese Hilfe")});
    parser.addWindowOptions();
    parser.allowPositionalArguments();
    parser.allowValuesWithOneDash();
}

ConverterOptions &ConverterOptions::failed(CommandLine::OptionsError::Kind why, const QString &word)
{
    error = {why, word, QString()};
    return *this;
}

// The mode asked for: help before version before conversion; a batch option without --convert
// is refused. A window start ignores other words, as it always has.
ConverterOptions &ConverterOptions::withMode(const OptionParser &parser)
{
    using Kind = CommandLine::OptionsError::Kind;
    if (parser.isSet(QStringLiteral("help"))) {
        mode = Mode::Help;
    } else if (parser.isSet(QStringLiteral("version"))) {
        mode = Mode::Version;
    } else if (parser.isSet(QStringLiteral("convert"))) {
        mode = Mode::Convert;
        if (inputs.isEmpty())
            return failed(Kind::MissingInput, QString());
    } else {
        for (const char *batchOnly : {"output-dir", "png", "csv", "markers"}) {
            if (parser.isSet(QLatin1String(batchOnly)))
                return failed(Kind::Combination, QStringLiteral("--") + batchOnly);
        }
        // The window opens one old file; a second one would be left without a word.
        QStringList oldFiles;
        for (const QString &input : std::as_const(inputs)) {
            if (!isNewCurveFile(input))
                oldFiles.append(input);
        }
        if (oldFiles.size() > 1)
            return failed(Kind::UnexpectedArgument, oldFiles.at(1));
    }
    return *this;
}

ConverterOptions ConverterOptions::parse(const QStringList &arguments)
{
    using Kind = CommandLine::OptionsError::Kind;
    ConverterOptions o;
    // The language options are taken out wherever they stand before "--"; a bare "-l" is no
    // language and is skipped. The first argument is the program itself.
    QStringList words = arguments.mid(0, 1);
    bool onlyFiles = false;
    for (const QString &a : arguments.mid(1)) {
        if (a.isEmpty())
            return o.failed(Kind::EmptyArgument, a);
        onlyFiles = onlyFiles || a == QLatin1String("--");
        if (onlyFiles || !a.startsWith(QLatin1String("-l")))
            words.append(a);
        else if (a.size() > 2)
            o.languageOptions.append(a);
    }

    OptionParser parser;
    declareOptions(parser);
    if (!parser.parse(words)) {
        // A missing value, or one where none belongs, is told by its option; any other wrong
        // word as an unknown option.
        const CommandLine::OptionsError &wrong = parser.error();
        switch (wrong.kind) {
        case Kind::MissingValue:
        case Kind::UnexpectedValue:
            return o.failed(wrong.kind, wrong.word);
        default:
            return o.failed(Kind::UnknownOption, wrong.word);
        }
    }
    const QStringList folders = parser.values(QStringLiteral("output-dir"));
    for (const QString &folder : folders) {
        if (folder.isEmpty() || folder.startsWith(QLatin1String("--")))
            return o.failed(Kind::MissingValue, QStringLiteral("--output-dir"));
        o.outputDir = folder;
    }
    // Which of two folders was meant is not for the program to guess.
    if (folders.size() > 1)
        return o.failed(Kind::Repeated, QStringLiteral("--output-dir"));
    o.inputs = parser.positionalArguments();
    o.verbose = parser.isSet(QStringLiteral("verbose"));
    o.png = parser.isSet(QStringLiteral("png"));
    o.csv = parser.isSet(QStringLiteral("csv"));
    o.markers = parser.isSet(QStringLiteral("markers"));
    return o.withMode(parser);
}

QString ConverterOptions::errorText() const
{
    using Kind = CommandLine::OptionsError::Kind;
    switch (error.kind) {
    case Kind::MissingInput:
        return tr("keine Eingabedatei angegeben");
    case Kind::UnknownOption:
        return tr("unbekannte Option %1").arg(error.word);
    case Kind::UnexpectedArgument:
        return tr("%1: das Fenster oeffnet nur eine alte Kurvendatei; mehrere wandelt "
                  "zor2conv --convert um")
            .arg(error.word);
    case Kind::Repeated:
        return tr("%1 ist zweimal angegeben").arg(error.word);
    case Kind::MissingValue:
        return error.word == QLatin1String("--output-dir")
                   ? tr("--output-dir braucht einen Ordner")
                   : tr("%1 braucht einen Wert").arg(error.word);
    case Kind::UnexpectedValue:
        return tr("%1: diese Option nimmt keinen Wert").arg(error.word);
    case Kind::Combination:
        return tr("%1 gilt nur zusammen mit --convert").arg(error.word);
    case Kind::EmptyArgument:
        return tr("leeres Argument statt eines Dateinamens oder einer Option");
    default:
        break;
    }
    return QString();
}

QString ConverterOptions::usage()
{
    OptionParser parser;
    declareOptions(parser);
    return tr("Aufruf: zor2conv --convert DATEI.hfd [DATEI.hfd ...] [--output-dir ORDNER] [--png]\n"
              "                [--csv] [--markers] [--verbose]\n"
              "        zor2conv [-l<Sprache>] [DATEI.hfd] [KURVE.z2k ...]\n"
              "                (oeffnet das Fenster, mit der alten Datei; neue Kurvendateien\n"
              "                zum Vergleich in der Vorschau)\n"
              "\n"
              "Wandelt alte Kurvendateien (.hfd) ohne Fenster in Kurvendateien des neuen\n"
              "Formats um: je Eingabe NAME.z2k (Kanal 1) und NAME_2.z2k (Kanal 2), im Ordner\n"
              "der Eingabe oder in ORDNER. Vorhandene Dateien gleichen Namens werden ersetzt.\n"
              "\n") +
           parser.optionsHelp() +
           tr("\n"
              "Exit-Status: 0 alle Eingaben umgewandelt, 1 mindestens eine nicht, 2 falscher "
              "Aufruf.");
}
