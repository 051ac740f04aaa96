#pragma once

#include "commandline/CommandLine.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// What the converter's command line asks for, judged before any application object exists, so
// that no call but a plain window start needs a display. Qt's own window options (-platform,
// -style, ...) are left for the window; "-l<language>" selects the translation wherever it
// stands; after "--" every word is a file.
class ConverterOptions
{
    Q_DECLARE_TR_FUNCTIONS(ConverterOptions)

public:
    enum class Mode { Window, Convert, Help, Version };
    Mode mode = Mode::Window;
    QStringList inputs;
    QString outputDir;
    bool verbose = false;
    bool png = false;     // a picture of both channels beside each output pair
    bool csv = false;     // NAME.csv for spreadsheets beside each output pair
    bool markers = false; // each written curve's markers behind its name
    // Every language option, in order; the first one selects the translation.
    QStringList languageOptions;
    // A wrong call; its message is made by errorText(), once the translation is installed.
    CommandLine::OptionsError error;

    static ConverterOptions parse(const QStringList &arguments);

    // The usage error as the user is told, in the language installed by then.
    QString errorText() const;
    static QString usage();

private:
    static void declareOptions(OptionParser &parser);
    ConverterOptions &failed(CommandLine::OptionsError::Kind why, const QString &word);
    ConverterOptions &withMode(const OptionParser &parser);
};
