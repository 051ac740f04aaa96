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

bool asksForCommandLineMode(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--probe" || arg == "--flash" || arg.startsWith("--flash=") || arg == "--help" ||
            arg == "-h")
            return true;
    }
    return false;
}

int usageError(const QString &error)
{
    QTextStream err(stderr);
    err << programName << ": " << error << '\n'
        << QStringLiteral("Try '%1 --help'.").arg(QLatin1String(programName)) << '\n';
    return 2;
}

// No window and no display: only the core and the standard streams.
int runCommandLine(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const LoaderOptions options = LoaderOptions::parse(QCoreApplication::arguments());
    if (!options.error.isEmpty())
        return usageError(options.error);

    QTextStream out(stdout);
    QTextStream err(stderr);
    if (options.mode == LoaderOptions::Mode::Help) {
        out << LoaderOptions::usage(QLatin1String(programName));
        return 0;
    }
    LoaderCommandLine commandLine(out, err, Platform::stderrIsTerminal());
    if (options.mode == LoaderOptions::Mode::Probe)
        return commandLine.probe(options.ports);
    return commandLine.flash(options.ports, options.hexFile, options.timeoutSeconds);
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
    if (asksForCommandLineMode(argc, argv))
        return runCommandLine(argc, argv);

    QApplication app(argc, argv);
    // QApplication has taken its own options out of the arguments; what is left is ours.
    const LoaderOptions options = LoaderOptions::parse(QCoreApplication::arguments());
    if (!options.error.isEmpty())
        return usageError(options.error);

    // The window holds the 65000-cell firmware image: kept on the heap, off the small stacks.
    auto window = std::make_unique<ZOR2fwloader>(options.ports);
    QApplication::setWindowIcon(programIcon());
    window->setWindowIcon(programIcon());
    window->show();
    const int status = QApplication::exec();
    window.reset();
    return status;
}
