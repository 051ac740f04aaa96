#include "ConverterOptions.h"

namespace {

// Qt's window options that take a value ("-style fusion"); Qt also accepts them with "--".
const char *const kQtOptionsWithValue[] = {"platform",        "platformpluginpath",
                                           "platformtheme",   "plugin",
                                           "qwindowgeometry", "geometry",
                                           "qwindowtitle",    "title",
                                           "qwindowicon",     "icon",
                                           "display",         "name",
                                           "session",         "style",
                                           "stylesheet"};
const char *const kQtFlags[] = {"reverse",     "nograb",      "dograb",
                                "widgetcount", "testability", "sync"};

// How many words a Qt window option spans (1 or 2), or 0 when the argument is none.
int qtOptionLength(const QString &argument)
{
    if (!argument.startsWith(QLatin1Char('-')))
        return 0;
    const QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    for (const char *option : kQtOptionsWithValue) {
        if (name == QLatin1String(option))
            return 2;
        if (name.startsWith(QLatin1String(option) + QLatin1Char('=')))
            return 1;
    }
    for (const char *flag : kQtFlags) {
        if (name == QLatin1String(flag))
            return 1;
    }
    return name.startsWith(QLatin1String("qmljsdebugger=")) ? 1 : 0;
}

bool hasValue(const QString &argument, const char *option)
{
    return argument.startsWith(QLatin1String(option) + QLatin1Char('='));
}

// The options with their mode: help before version before conversion; a batch option without
// --convert is refused. A window start ignores other words, as it always has.
ConverterOptions mitModus(ConverterOptions o, bool convert, bool help, bool version)
{
    using Mode = ConverterOptions::Mode;
    using Error = ConverterOptions::Error;
    const auto fail = [&o](Error error, const QString &argument) {
        o.error = error;
        o.argument = argument;
        return o;
    };
    if (help) {
        o.mode = Mode::Help;
    } else if (version) {
        o.mode = Mode::Version;
    } else if (convert) {
        o.mode = Mode::Convert;
        if (o.inputs.isEmpty())
            return fail(Error::NoInput, QString());
    } else if (!o.outputDir.isEmpty()) {
        return fail(Error::NeedsConvert, QStringLiteral("--output-dir"));
    } else if (o.verbose) {
        return fail(Error::NeedsConvert, QStringLiteral("--verbose"));
    } else if (o.png) {
        return fail(Error::NeedsConvert, QStringLiteral("--png"));
    }
    return o;
}

} // namespace

ConverterOptions ConverterOptions::parse(const QStringList &arguments)
{
    ConverterOptions o;
    bool convert = false, help = false, version = false;
    bool onlyFiles = false;
    const auto fail = [&o](Error error, const QString &argument) {
        o.error = error;
        o.argument = argument;
        return o;
    };
    // The first argument is the program itself.
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        if (a.isEmpty())
            return fail(Error::EmptyArgument, a);
        if (onlyFiles) {
            o.inputs.append(a);
        } else if (a == QLatin1String("--")) {
            onlyFiles = true;
        } else if (a == QLatin1String("--convert")) {
            convert = true;
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            help = true;
        } else if (a == QLatin1String("--version")) {
            version = true;
        } else if (a == QLatin1String("--verbose")) {
            o.verbose = true;
        } else if (a == QLatin1String("--png")) {
            o.png = true;
        } else if (hasValue(a, "--convert") || hasValue(a, "--help") || hasValue(a, "--version") ||
                   hasValue(a, "--verbose") || hasValue(a, "--png")) {
            return fail(Error::TakesNoValue, a);
        } else if (a == QLatin1String("--output-dir") || hasValue(a, "--output-dir")) {
            o.outputDir = a.contains(QLatin1Char('=')) ? a.mid(a.indexOf(QLatin1Char('=')) + 1)
                                                       : arguments.value(++i);
            if (o.outputDir.isEmpty() || o.outputDir.startsWith(QLatin1String("--")))
                return fail(Error::NoFolder, a);
        } else if (a.startsWith(QLatin1String("-l"))) {
            if (a.size() > 2)
                o.languageOptions.append(a);
        } else if (const int length = qtOptionLength(a)) {
            i += length - 1; // left to Qt's window
        } else if (a.startsWith(QLatin1Char('-')) && a != QLatin1String("-")) {
            return fail(Error::UnknownOption, a);
        } else {
            o.inputs.append(a);
        }
    }
    return mitModus(o, convert, help, version);
}

QString ConverterOptions::errorText() const
{
    switch (error) {
    case Error::None:
        break;
    case Error::NoInput:
        return tr("keine Eingabedatei angegeben");
    case Error::UnknownOption:
        return tr("unbekannte Option %1").arg(argument);
    case Error::NoFolder:
        return tr("--output-dir braucht einen Ordner");
    case Error::TakesNoValue:
        return tr("%1: diese Option nimmt keinen Wert").arg(argument);
    case Error::NeedsConvert:
        return tr("%1 gilt nur zusammen mit --convert").arg(argument);
    case Error::EmptyArgument:
        return tr("leeres Argument statt eines Dateinamens oder einer Option");
    }
    return QString();
}

QString ConverterOptions::usage()
{
    return tr(
        "Aufruf: zor2conv --convert DATEI.hfd [DATEI.hfd ...] [--output-dir ORDNER] [--png]\n"
        "                [--verbose]\n"
        "        zor2conv [-l<Sprache>] [DATEI.hfd]   (oeffnet das Fenster, mit der Datei)\n"
        "\n"
        "Wandelt alte Kurvendateien (.hfd) ohne Fenster in Kurvendateien des neuen\n"
        "Formats um: je Eingabe NAME.z2k (Kanal 1) und NAME_2.z2k (Kanal 2), im Ordner\n"
        "der Eingabe oder in ORDNER. Vorhandene Dateien gleichen Namens werden ersetzt.\n"
        "\n"
        "  --output-dir ORDNER  schreibt die neuen Dateien nach ORDNER (wird angelegt)\n"
        "  --png                schreibt je Eingabe auch NAME.png, ein Bild beider Kanaele\n"
        "                       (1200 x 800 Pixel)\n"
        "  --verbose            gibt die Diagnosezeilen aus\n"
        "  -l<Sprache>          laedt eine Uebersetzung, zum Beispiel -len\n"
        "  --                   alle folgenden Woerter sind Dateien, auch wenn sie\n"
        "                       mit - beginnen: zor2conv --convert -- -lauf.hfd\n"
        "  --version            zeigt die Version\n"
        "  -h, --help           zeigt diese Hilfe\n"
        "\n"
        "Exit-Status: 0 alle Eingaben umgewandelt, 1 mindestens eine nicht, 2 falscher Aufruf.");
}
