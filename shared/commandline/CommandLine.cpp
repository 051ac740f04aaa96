#include "commandline/CommandLine.h"

#include "platform/Platform.h"

#include <cstdio>

namespace CommandLine {

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

bool standardOutputWritten()
{
    return std::fflush(stdout) == 0 && !std::ferror(stdout);
}

QStringList arguments(int argc, char **argv)
{
    return Platform::commandLineArguments(argc, argv);
}

int reportUsageError(const QString &program, const QString &message, const QString &followUp)
{
    print(
        stderr,
        QStringLiteral("%1: %2\n").arg(program, message) +
            (followUp.isEmpty()
                 ? QCoreApplication::translate("CommandLine", "Hilfe: '%1 --help'.\n").arg(program)
                 : followUp));
    return UsageError;
}

int reportNoDisplay(const QString &program, const QString &withoutWindow)
{
    print(stderr, QStringLiteral("%1: %2\n")
                      .arg(program, QCoreApplication::translate(
                                        "CommandLine", "kein Bildschirm gefunden (DISPLAY und "
                                                       "WAYLAND_DISPLAY sind leer); %1")
                                        .arg(withoutWindow)));
    return UsageError;
}

} // namespace CommandLine

namespace {

// How a value that is really the next option looks: a dash and more, but no number ("-5").
bool looksLikeOption(const QString &argument)
{
    bool number = false;
    argument.toDouble(&number);
    return argument.size() > 1 && argument.startsWith(QLatin1Char('-')) && !number;
}

} // namespace

OptionParser::OptionParser()
{
    // Qt's window options are words after one dash; ours are checked before Qt sees them.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
}

void OptionParser::addOption(const QCommandLineOption &option)
{
    options.append(option);
    parser.addOption(option);
    if (option.flags() & QCommandLineOption::HiddenFromHelp)
        return;
    QStringList names;
    for (const QString &name : option.names())
        names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    QString left = names.join(QStringLiteral(", "));
    if (!option.valueName().isEmpty())
        left += QLatin1Char(' ') + option.valueName();
    addHelpLine(left, option.description());
}

void OptionParser::addHelpLine(const QString &left, const QString &description)
{
    helpLines.append({left, description});
}

void OptionParser::addWindowOptions()
{
    const char *withValue[] = {"platform",        "platformpluginpath",
                               "platformtheme",   "plugin",
                               "qwindowgeometry", "geometry",
                               "qwindowtitle",    "title",
                               "qwindowicon",     "icon",
                               "display",         "name",
                               "session",         "style",
                               "stylesheet",      "qmljsdebugger"};
    const char *withoutValue[] = {"reverse", "widgetcount", "nograb",
                                  "dograb",  "sync",        "testability"};
    auto add = [this](const char *name, const QString &valueName) {
        QCommandLineOption option(QLatin1String(name), QString(), valueName);
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        addOption(option);
        windowOptionNames << QLatin1String(name);
    };
    for (const char *name : withValue)
        add(name, QStringLiteral("value"));
    for (const char *name : withoutValue)
        add(name, QString());
}

const QCommandLineOption *OptionParser::find(const QString &name) const
{
    for (const QCommandLineOption &option : options) {
        if (option.names().contains(name))
            return &option;
    }
    return nullptr;
}

bool OptionParser::fail(CommandLine::OptionsError::Kind kind, const QString &argument,
                        const QString &text)
{
    failure = {kind, argument, text};
    return false;
}

// Whether a word after an option is the next option rather than its value.
bool OptionParser::isOptionWord(const QString &argument) const
{
    return oneDashValues ? argument.startsWith(QLatin1String("--")) : looksLikeOption(argument);
}

// Judges the option at arguments[i] and steps i over its value.
bool OptionParser::checkOption(const QStringList &arguments, int &i)
{
    using Kind = CommandLine::OptionsError::Kind;
    const QString &argument = arguments.at(i);
    const bool twoDashes = argument.startsWith(QLatin1String("--"));
    QString name = argument.mid(twoDashes ? 2 : 1);
    const int eq = name.indexOf(QLatin1Char('='));
    const bool inlineValue = eq >= 0;
    if (inlineValue)
        name.truncate(eq);
    const QString shown =
        inlineValue ? argument.left(argument.indexOf(QLatin1Char('='))) : argument;
    const QCommandLineOption *option = find(name);
    // One letter after one dash, a word after two; Qt's window options either way.
    const bool dashesFit = windowOptionNames.contains(name) || twoDashes == (name.size() > 1);
    if (!option || !dashesFit)
        return fail(Kind::UnknownOption, argument, tr("unbekannte Option %1").arg(shown));
    if (option->valueName().isEmpty()) {
        return !inlineValue ||
               fail(Kind::UnexpectedValue, argument, tr("%1 nimmt keinen Wert").arg(shown));
    }
    if (inlineValue)
        return true;
    if (i + 1 >= arguments.size() || isOptionWord(arguments.at(i + 1)))
        return fail(Kind::MissingValue, argument, tr("%1 braucht einen Wert").arg(shown));
    ++i;
    return true;
}

bool OptionParser::checkArguments(const QStringList &arguments)
{
    using Kind = CommandLine::OptionsError::Kind;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        const bool option = argument.size() > 1 && argument.startsWith(QLatin1Char('-'));
        if (argument == QLatin1String("--") && positionalAllowed)
            return true;
        if (argument == QLatin1String("--") || (!option && !positionalAllowed)) {
            const int stray = argument == QLatin1String("--") ? i + 1 : i;
            return stray >= arguments.size() ||
                   fail(Kind::UnexpectedArgument, arguments.at(stray),
                        tr("unerwartetes Argument %1").arg(arguments.at(stray)));
        }
        if (option && !checkOption(arguments, i))
            return false;
    }
    return true;
}

bool OptionParser::parse(const QStringList &arguments)
{
    failure = {};
    if (!checkArguments(arguments))
        return false;
    if (!parser.parse(arguments)) // not reached for what the checks above let through
        return fail(CommandLine::OptionsError::Kind::UnknownOption, QString(), parser.errorText());
    return true;
}

QString OptionParser::optionsHelp() const
{
    int width = 0;
    for (const auto &line : helpLines)
        width = qMax(width, int(line.first.size()));
    QString help;
    for (const auto &[left, description] : helpLines) {
        const QStringList lines = description.split(QLatin1Char('\n'));
        help += QStringLiteral("  %1  %2\n").arg(left, -width).arg(lines.first());
        for (int j = 1; j < lines.size(); ++j)
            help += QString(width + 4, QLatin1Char(' ')) + lines.at(j) + QLatin1Char('\n');
    }
    return help;
}
