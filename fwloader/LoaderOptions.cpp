#include "LoaderOptions.h"

#include <cmath>

namespace {

// The longest wait for one "k" a person can ask for: beyond a day it is a typing error.
constexpr double maxTimeoutSeconds = 86400.0;

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
        auto takeValue = [&]() -> bool {
            if (inlineValue)
                return true;
            if (i + 1 >= arguments.size()) {
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

        if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            if (refuseValue()) {
                options.mode = Mode::Help;
                return options;
            }
        } else if (name == QLatin1String("--probe")) {
            if (refuseValue())
                setMode(Mode::Probe, name);
        } else if (name == QLatin1String("--flash")) {
            if (takeValue()) {
                if (value.isEmpty())
                    options.error = QStringLiteral("--flash needs a file name");
                else if (!options.hexFile.isEmpty())
                    options.error = QStringLiteral("--flash given twice");
                options.hexFile = value;
                setMode(Mode::Flash, name);
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
                if (!ok || !std::isfinite(seconds) || seconds <= 0.0 || seconds > maxTimeoutSeconds)
                    options.error =
                        QStringLiteral("--timeout needs a number of seconds above 0, up to %1")
                            .arg(maxTimeoutSeconds);
                options.timeoutSeconds = seconds;
                timeoutGiven = true;
            }
        } else if (name.startsWith(QLatin1Char('-'))) {
            options.error = QStringLiteral("unknown option %1").arg(name);
        } else {
            options.error = QStringLiteral("unexpected argument %1").arg(name);
        }
    }

    if (options.error.isEmpty() && timeoutGiven && options.mode != Mode::Flash)
        options.error = QStringLiteral("--timeout is used with --flash only");
    return options;
}

QString LoaderOptions::usage(const QString &programName)
{
    return QStringLiteral(
               "Usage: %1 [--port PATH]...\n"
               "       %1 --probe [--port PATH]...\n"
               "       %1 --flash FILE.hex [--port PATH]... [--timeout SECONDS]\n"
               "\n"
               "Without --probe or --flash the window starts and searches the device.\n"
               "  --probe            search the serial ports once and name the device found\n"
               "  --flash FILE.hex   find the device, check the firmware file and write it\n"
               "                     into the device's flash\n"
               "  --port PATH        search only this port (repeatable); by default the\n"
               "                     system's usual serial ports are searched\n"
               "  --timeout SECONDS  longest wait for each block request of the device\n"
               "                     (default 5, fractions allowed; twice that for the\n"
               "                     first request, while the device erases)\n"
               "  --help             show this text\n"
               "\n"
               "Exit status: 0 done, 1 no device, refused file or failed transfer,\n"
               "2 usage error.\n")
        .arg(programName);
}
