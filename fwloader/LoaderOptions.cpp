#include "LoaderOptions.h"

#include <cmath>

namespace {

// The wait for one "k" a person can ask for: below a tenth of a second no device answers, and
// beyond a day it is a typing error.
constexpr double minTimeoutSeconds = 0.1;
constexpr double maxTimeoutSeconds = 86400.0;

// Qt's own options for a window, with and without a value; the window's QApplication takes them.
bool isWindowOption(const QString &name, bool *takesValue)
{
    static const QStringList withValue = {
        QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
        QStringLiteral("qwindowgeometry"), QStringLiteral("geometry"),
        QStringLiteral("qwindowtitle"),    QStringLiteral("title"),
        QStringLiteral("qwindowicon"),     QStringLiteral("icon"),
        QStringLiteral("display"),         QStringLiteral("name"),
        QStringLiteral("session"),         QStringLiteral("style"),
        QStringLiteral("stylesheet")};
    static const QStringList withoutValue = {
        QStringLiteral("reverse"), QStringLiteral("widgetcount"), QStringLiteral("nograb"),
        QStringLiteral("dograb"),  QStringLiteral("sync"),        QStringLiteral("testability")};
    QString bare = name.mid(name.startsWith(QLatin1String("--")) ? 2 : 1);
    // Qt also takes -style=NAME, -stylesheet=FILE and -qmljsdebugger=...
    const int eq = bare.indexOf(QLatin1Char('='));
    if (eq > 0) {
        bare.truncate(eq);
        *takesValue = false;
        return bare == QLatin1String("style") || bare == QLatin1String("stylesheet") ||
               bare == QLatin1String("qmljsdebugger");
    }
    *takesValue = withValue.contains(bare);
    return *takesValue || withoutValue.contains(bare);
}

} // namespace

LoaderOptions LoaderOptions::parse(const QStringList &arguments)
{
    LoaderOptions options;
    bool timeoutGiven = false;
    bool modeGiven = false;
    auto setMode = [&](Mode mode, const QString &name) {
        if (modeGiven && options.mode != mode && options.error.isEmpty())
            options.error = QStringLiteral("%1 cannot be combined with another mode").arg(name);
        options.mode = mode;
        modeGiven = true;
    };

    // The first argument is the program itself.
    for (int i = 1; i < arguments.size() && options.error.isEmpty(); ++i) {
        QString name = arguments.at(i);
        QString value;
        bool inlineValue = false;
        if (name.startsWith(QLatin1String("--"))) {
            const int eq = name.indexOf(QLatin1Char('='));
            if (eq > 0) {
                value = name.mid(eq + 1);
                name.truncate(eq);
                inlineValue = true;
            }
        }
        // A value is missing when the next argument is itself an option (a number is none).
        auto takeValue = [&]() -> bool {
            if (inlineValue)
                return true;
            const QString next = i + 1 < arguments.size() ? arguments.at(i + 1) : QString();
            bool number = false;
            next.toDouble(&number);
            if (i + 1 >= arguments.size() ||
                (next.startsWith(QLatin1Char('-')) && next.size() > 1 && !number)) {
                options.error = QStringLiteral("%1 needs a value").arg(name);
                return false;
            }
            value = arguments.at(++i);
            return true;
        };
        auto refuseValue = [&]() -> bool {
            if (inlineValue)
                options.error = QStringLiteral("%1 takes no value").arg(name);
            return !inlineValue;
        };
        auto fileMode = [&](Mode mode) {
            if (!takeValue())
                return;
            if (value.isEmpty())
                options.error = QStringLiteral("%1 needs a file name").arg(name);
            else if (!options.hexFile.isEmpty())
                options.error = QStringLiteral("%1 given twice").arg(name);
            options.hexFile = value;
            setMode(mode, name);
        };

        bool windowValue = false;
        if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            if (refuseValue()) {
                options.mode = Mode::Help;
                return options;
            }
        } else if (name == QLatin1String("--version")) {
            if (refuseValue()) {
                options.mode = Mode::Version;
                return options;
            }
        } else if (name == QLatin1String("--probe")) {
            if (refuseValue())
                setMode(Mode::Probe, name);
        } else if (name == QLatin1String("--flash")) {
            fileMode(Mode::Flash);
        } else if (name == QLatin1String("--check")) {
            fileMode(Mode::Check);
        } else if (name == QLatin1String("--processor")) {
            if (takeValue()) {
                options.processor = value.toUpper();
                if (options.processor != QLatin1String("PIC18F26K22") &&
                    options.processor != QLatin1String("PIC18LF26K80"))
                    options.error = QStringLiteral("--processor needs PIC18F26K22 or PIC18LF26K80");
            }
        } else if (name == QLatin1String("--port")) {
            if (takeValue()) {
                if (value.isEmpty())
                    options.error = QStringLiteral("--port needs a port name");
                options.ports.append(value);
            }
        } else if (name == QLatin1String("--timeout")) {
            if (takeValue()) {
                bool ok = false;
                const double seconds = value.toDouble(&ok);
                if (!ok || !std::isfinite(seconds) || seconds < minTimeoutSeconds ||
                    seconds > maxTimeoutSeconds)
                    options.error = QStringLiteral("--timeout needs a number of seconds from %1 "
                                                   "to %2")
                                        .arg(minTimeoutSeconds)
                                        .arg(maxTimeoutSeconds);
                options.timeoutSeconds = seconds;
                timeoutGiven = true;
            }
        } else if (!name.startsWith(QLatin1String("--")) && isWindowOption(name, &windowValue)) {
            // For the window's QApplication; a value is skipped here.
            if (windowValue && !takeValue())
                break;
        } else if (name.startsWith(QLatin1Char('-'))) {
            options.error = QStringLiteral("unknown option %1").arg(name);
        } else {
            options.error = QStringLiteral("unexpected argument %1").arg(name);
        }
    }

    if (!options.error.isEmpty())
        return options;
    if (timeoutGiven && options.mode != Mode::Flash)
        options.error = QStringLiteral("--timeout is used with --flash only");
    else if (!options.processor.isEmpty() && options.mode != Mode::Check)
        options.error = QStringLiteral("--processor is used with --check only");
    else if (!options.ports.isEmpty() && options.mode == Mode::Check)
        options.error = QStringLiteral("--check opens no port; --port is not used with it");
    return options;
}

QString LoaderOptions::usage(const QString &programName)
{
    return QStringLiteral(
               "Usage: %1 [--port PATH]...\n"
               "       %1 --probe [--port PATH]...\n"
               "       %1 --flash FILE.hex [--port PATH]... [--timeout SECONDS]\n"
               "       %1 --check FILE.hex [--processor NAME]\n"
               "\n"
               "Without --probe, --flash or --check the window starts and searches the device;\n"
               "it needs a display.\n"
               "  --probe            search the serial ports once and name the device found\n"
               "  --flash FILE.hex   check the firmware file, find the device and write the\n"
               "                     file into the device's flash\n"
               "  --check FILE.hex   judge the firmware file as --flash would, for each\n"
               "                     processor, without a device; no port is opened\n"
               "  --processor NAME   with --check: judge for PIC18F26K22 or PIC18LF26K80 only\n"
               "  --port PATH        search only this port (repeatable); by default the\n"
               "                     system's usual serial ports are searched\n"
               "  --timeout SECONDS  longest wait for each block request of the device, from\n"
               "                     0.1 to 86400 (default 5, fractions allowed; twice that\n"
               "                     for the first request, while the device erases)\n"
               "  --help             show this text\n"
               "  --version          show the program's version\n"
               "\n"
               "Ctrl-C, SIGTERM or SIGHUP during --flash ends the transfer after the current\n"
               "block; the device must then be switched off and on before it is flashed again.\n"
               "\n"
               "Exit status: 0 done (--check: the file suits the processor, or one of them),\n"
               "1 no device, refused file or failed transfer, 2 usage error or no display,\n"
               "128 + the signal's number after a transfer ended by a signal.\n")
        .arg(programName);
}
