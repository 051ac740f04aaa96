#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class OptionParser;

// What the converter's command line asks for, judged before any application object exists, so
// that no call but a plain window start needs a display. Qt's own window options (-platform,
// -style, ...) are left for the window; "-l<language>" selects the translation wherever it
// stands; after "--" every word is a file.
class ConverterOptions
{
    Q_DECLARE_TR_FUNCTIONS(ConverterOptions)

public:
    enum class Mode { Window, Convert, Help, Version };
    enum class Error {
        None,
        NoInput,       // --convert without a file
        UnknownOption, // argument: the option
        NoFolder,      // --output-dir without a folder, or with an option as its value
        NeedsValue,    // argument: one of Qt's window options without its value
        TakesNoValue,  // argument: "--convert=x" and the like
        NeedsConvert,  // argument: a batch option without --convert
        EmptyArgument, // "" where a file or an option belongs
    };

    Mode mode = Mode::Window;
    QStringList inputs;
    QString outputDir;
    bool verbose = false;
    bool png = false;     // a picture of both channels beside each output pair
    bool csv = false;     // NAME.csv for spreadsheets beside each output pair
    bool markers = false; // each written curve's markers behind its name
    // Every language option, in order; the first one selects the translation.
    QStringList languageOptions;
    Error error = Error::None;
    QString argument; // the argument an error is about

    static ConverterOptions parse(const QStringList &arguments);

    // The usage error as the user is told, in the language installed by then.
    QString errorText() const;
    static QString usage();

private:
    static void declareOptions(OptionParser &parser);
    ConverterOptions &failed(Error why, const QString &word);
    ConverterOptions &withMode(const OptionParser &parser);
};
