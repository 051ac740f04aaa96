#pragma once

#include <QString>
#include <QStringList>

// What the loader's command line asks for. Without --probe, --flash or --help the window
// starts; --port replaces the searched ports in every mode. The parser knows nothing of Qt's
// own window options: in window mode the caller passes what QApplication left over.
struct LoaderOptions
{
    enum class Mode { Window, Probe, Flash, Help };

    Mode mode = Mode::Window;
    QStringList ports;           // empty: the platform's port list
    QString hexFile;             // --flash FILE
    double timeoutSeconds = 5.0; // --timeout: bound of the wait for each "k"
    QString error;               // not empty: a usage error, exit status 2

    static LoaderOptions parse(const QStringList &arguments);
    static QString usage(const QString &programName);
};
