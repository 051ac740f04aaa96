#include "LoaderCommandLine.h"
#include "LoaderOptions.h"
#include "Platform.h"
#include "ZOR2fwloader.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QTextStream>

#include <cstdio>
#include <memory>

namespace {

const char programName[] = "ZOR2fwloader";
const char programVersion[] = "V1.03";

int usageError(const QString &error)
{
    QTextStream err(stderr);
    err << programName << ": " << error << '\n'
        << QStringLiteral("Try '%1 --help'.").arg(QLatin1String(programName)) << '\n';
    return 2;
}

// No window and no display: only the core and the standard streams.
int runCommandLine(int argc, char *argv[], const LoaderOptions &options)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    LoaderCommandLine commandLine(out, err, Platform::stderrIsTerminal());
    switch (options.mode) {
    case LoaderOptions::Mode::Probe:
        return commandLine.probe(options.ports);
    case LoaderOptions::Mode::Check:
        return commandLine.check(options.hexFile, options.processor);
    default:
        return commandLine.flash(options.ports, options.hexFile, options.timeoutSeconds);
    }
}

// The icon file in the working directory wins, as it always has; without it the program keeps
// the icon it was built with instead of none.
QIcon programIcon()
{
    const QString file = QStringLiteral("images/fwloader.ico");
    return QIcon(QFile::exists(file) ? file : QStringLiteral(":/images/fwloader.ico"));
}

} // namespace

int main(int argc, char *argv[])
{
    // Every argument is judged before Qt sees one: a mistyped call never reaches a window.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const LoaderOptions options = LoaderOptions::parse(arguments);
    if (!options.error.isEmpty())
        return usageError(options.error);

    QTextStream out(stdout);
    switch (options.mode) {
    case LoaderOptions::Mode::Help:
        out << LoaderOptions::usage(QLatin1String(programName));
        return 0;
    case LoaderOptions::Mode::Version:
        out << programName << ' ' << programVersion << '\n';
        return 0;
    case LoaderOptions::Mode::Window:
        break;
    default:
        return runCommandLine(argc, argv, options);
    }

    if (!Platform::displayAvailable(argc, argv)) {
        QTextStream err(stderr);
        err << programName
            << ": keine Anzeige fuer das Fenster (DISPLAY nicht gesetzt); ohne Fenster arbeiten "
               "--probe, --flash und --check.\n";
        return 2;
    }
    QApplication app(argc, argv);
    // The window holds the 65000-cell firmware image: kept on the heap, off the small stacks.
    auto window = std::make_unique<ZOR2fwloader>(options.ports);
    QApplication::setWindowIcon(programIcon());
    window->setWindowIcon(programIcon());
    window->show();
    const int status = QApplication::exec();
    window.reset();
    return status;
}
