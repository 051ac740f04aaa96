#include "LoaderCommandLine.h"
#include "LoaderOptions.h"
#include "LoaderWindow.h"
#include "commandline/CommandLine.h"
#include "platform/Platform.h"
#include "widgets/QtTranslation.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QTextStream>

#include <memory>

namespace {

const char programName[] = "ZOR2fwloader";

// Output that did not reach stdout makes no success: one line on stderr says so. Asked only
// at the end, so that a full terminal never cuts a transfer short.
int checkOutput(int status)
{
    if (CommandLine::standardOutputWritten())
        return status;
    CommandLine::print(stderr, QLatin1String(programName) + QStringLiteral(": ") +
                                   LoaderOptions::tr("die Standardausgabe kann nicht geschrieben "
                                                     "werden") +
                                   QLatin1Char('\n'));
    return status == CommandLine::Done ? CommandLine::Failed : status;
}

// Help, version and a wrong call, answered at once: the loader's texts are never translated.
int answer(const LoaderOptions &options)
{
    if (options.error.isSet())
        return CommandLine::reportUsageError(QLatin1String(programName), options.error.message);
    if (options.mode == LoaderOptions::Mode::Help)
        CommandLine::print(stdout, LoaderOptions::helpText(QLatin1String(programName)));
    else
        CommandLine::print(stdout, QStringLiteral("%1 %2\n").arg(QLatin1String(programName),
                                                                 QStringLiteral(ZOR2_VERSION)));
    return checkOutput(CommandLine::Done);
}

// No window and no display: only the core and the standard streams.
int runCommandLine(int argc, char *argv[], const LoaderOptions &options)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = LoaderCommandLine(out, err, Platform::stderrIsTerminal()).run(options);
    out.flush();
    err.flush();
    return status;
}

// The icon file in the working directory wins, as it always has; without it the program keeps
// the icon it was built with instead of none.
QIcon programIcon()
{
    const QString file = QStringLiteral("images/fwloader.ico");
    return QIcon(QFile::exists(file) ? file : QStringLiteral(":/images/fwloader.ico"));
}

int runWindow(int argc, char *argv[], const LoaderOptions &options)
{
    QApplication app(argc, argv);
    // The loader's own texts are German and never translated; Qt's own dialogs speak German too.
    installQtTranslation(app, QStringLiteral("de"));
    // The window holds the 65000-cell firmware image: kept on the heap, off the small stacks.
    auto window = std::make_unique<LoaderWindow>(options.ports);
    QApplication::setWindowIcon(programIcon());
    window->setWindowIcon(programIcon());
    window->closeOnStopSignals();
    window->show();
    const int status = QApplication::exec();
    window.reset();
    // Ended by a signal, after every port was closed: the status a shell expects.
    return Platform::stopSignal() != 0 ? 128 + Platform::stopSignal() : status;
}

} // namespace

int main(int argc, char *argv[])
{
    // Every argument is judged before Qt sees one: a mistyped call never reaches a window.
    const LoaderOptions options = LoaderOptions::parse(CommandLine::arguments(argc, argv));
    using Mode = LoaderOptions::Mode;
    if (options.error.isSet() || options.mode != Mode::Window)
        Platform::useParentConsole();
    // Before anything opens a file: no lock, port or file may become stdout by chance.
    Platform::occupyClosedStandardStreams();
    Platform::failWritesToClosedPipes();
    // Each port the search asks takes descriptors; the usual soft limit may be low.
    Platform::raiseDescriptorLimit();

    if (options.error.isSet() || options.mode == Mode::Help || options.mode == Mode::Version)
        return answer(options);
    // Only a window start with a display reaches Qt's window system, which aborts without one.
    if (options.mode == Mode::Window && !Platform::displayAvailable(argc, argv)) {
        return CommandLine::reportNoDisplay(
            QLatin1String(programName),
            LoaderOptions::tr("ohne Fenster arbeiten --probe, --flash und --check."));
    }
    if (options.mode == Mode::Window)
        return runWindow(argc, argv, options);
    return checkOutput(runCommandLine(argc, argv, options));
}
