#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

// What the command lines of both programs have in common: their exit statuses, how a wrong
// call is told, and a parser that holds a person's typing to the options as documented.
namespace CommandLine {

// Exit statuses of both programs. A run that a signal ended exits with 128 + its number.
enum ExitStatus : int { Done = 0, Failed = 1, UsageError = 2 };

// A wrong call, as the options parsers of both programs find it: the kind of mistake, the word
// it is about as typed, and the German message. The converter leaves the message empty and makes
// it when the call is told, in the language the same call selects.
struct OptionsError
{
    enum class Kind {
        None,
        UnknownOption,      // word: the option as typed
        MissingValue,       // word: the option that needs a value
        UnexpectedValue,    // word: "--name=x" for an option that takes none
        UnexpectedArgument, // word: a word where none is taken
        EmptyArgument,      // "" where a file or an option belongs
        MissingInput,       // no file to work on
        WrongValue,         // word: the option whose value is of no use
        Repeated,           // word: the option given twice
        Combination,        // word: what does not go together
    };

    Kind kind = Kind::None;
    QString word;
    QString message;

    bool isSet() const { return kind != Kind::None; }
};

// Tells a wrong call on stderr, "PROGRAM: MESSAGE" and then followUp, by default a line pointing
// to --help, and returns UsageError.
int reportUsageError(const QString &program, const QString &message,
                     const QString &followUp = QString());

// Tells on stderr that a window was asked for where there is no display, with withoutWindow
// (what works without one), and returns UsageError.
int reportNoDisplay(const QString &program, const QString &withoutWindow);

// Writes text as it is to stream (stdout or stderr), at once.
void print(std::FILE *stream, const QString &text);

// Whether everything written to stdout so far reached it (no full disk, no closed descriptor,
// no pipe without a reader).
bool standardOutputWritten();

// The program's arguments as the system's 8-bit encoding gives them, bytes that are no UTF-8 kept
// as Platform::nameFromNative keeps them (names from old disks); [0] is the program.
QStringList arguments(int argc, char **argv);

} // namespace CommandLine

// QCommandLineParser with the checks that keep a mistyped call from being taken for another
// one: an option of several letters only with two dashes ("-probe" is no --probe), a value
// that is missing or is itself an option, a value given with "=" to an option that takes none.
// Qt's own window options (-platform, -style ...) may be declared, so that they pass on to the
// window's QApplication. Every error is named in German; the help lists the options declared.
class OptionParser
{
    Q_DECLARE_TR_FUNCTIONS(OptionParser)

public:
    OptionParser();

    void addOption(const QCommandLineOption &option);
    // Qt's options for a window; not shown in the help.
    void addWindowOptions();
    // Words that are no option (files, for instance) are taken, and after "--" every word is
    // one; without this call each is an error.
    void allowPositionalArguments() { positionalAllowed = true; }
    // A value may begin with one dash (a folder named "-x"); only a word with two dashes is
    // taken for the next option instead of a value.
    void allowValuesWithOneDash() { oneDashValues = true; }
    // A line of the help for what the parser does not take itself ("--", a word taken out
    // before the parse), shown among the options in the order declared.
    void addHelpLine(const QString &left, const QString &description);

    // arguments[0] is the program. false: error() says what is wrong, its message in German.
    bool parse(const QStringList &arguments);
    const CommandLine::OptionsError &error() const { return failure; }

    bool isSet(const QString &name) const { return parser.isSet(name); }
    QString value(const QString &name) const { return parser.value(name); }
    QStringList values(const QString &name) const { return parser.values(name); }
    QStringList positionalArguments() const { return parser.positionalArguments(); }

    // One line per option shown in the help: "  --name VALUE  description", aligned.
    QString optionsHelp() const;

private:
    const QCommandLineOption *find(const QString &name) const;
    bool isOptionWord(const QString &argument) const;
    bool checkArguments(const QStringList &arguments);
    bool checkOption(const QStringList &arguments, int &i);
    bool fail(CommandLine::OptionsError::Kind kind, const QString &argument, const QString &text);

    QCommandLineParser parser;
    QList<QCommandLineOption> options;
    QList<QPair<QString, QString>> helpLines; // left column, description
    QStringList windowOptionNames;
    bool positionalAllowed = false;
    bool oneDashValues = false;
    CommandLine::OptionsError failure;
};
