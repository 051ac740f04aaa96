#pragma once

#include "commandline/CommandLine.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// What the loader's command line asks for, parsed before any application object exists. Without
// --probe, --flash, --check, --help or --version the window starts; --port replaces the searched
// ports in the window and for --probe and --flash. Qt's own window options (-platform, -style
// and so on) are let through for the window.
struct LoaderOptions
{
    Q_DECLARE_TR_FUNCTIONS(LoaderOptions)

public:
    enum class Mode { Window, Probe, Flash, Check, Help, Version };

    Mode mode = Mode::Window;
    QStringList ports;               // empty: the platform's port list
    QString hexFile;                 // --flash FILE or --check FILE
    QString processor;               // --check: only this processor; empty: every one known
    double timeoutSeconds = 5.0;     // --timeout: bound of the wait for each "k"
    CommandLine::OptionsError error; // a usage error, its message in German

    // arguments[0] is the program.
    static LoaderOptions parse(const QStringList &arguments);
    static QString helpText(const QString &programName);

private:
    static void declareOptions(OptionParser &parser);
    // Each gives the error it found, or none.
    static CommandLine::OptionsError takeMode(const OptionParser &parser, LoaderOptions &options);
    static CommandLine::OptionsError takeValues(const OptionParser &parser, LoaderOptions &options);
    static CommandLine::OptionsError checkCombination(const OptionParser &parser,
                                                      const LoaderOptions &options);
};
