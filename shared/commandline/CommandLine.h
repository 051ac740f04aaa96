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

// Tells a wrong call on stderr, "PROGRAM: MESSAGE" and then followUp, by default a line pointing
// to --help, and returns UsageError.
int reportUsageError(const QString &program, const QString &message,
                     const QString &followUp = QString());

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
    // What is wrong with a call; errorWord() is the word it is about, as typed.
    enum class Error { None, UnknownOption, MissingValue, UnexpectedValue, UnexpectedArgument };

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

    // arguments[0] is the program. false: error() says what is wrong, in German.
    bool parse(const QStringList &arguments);
    QString error() const { return errorText; }
    Error errorKind() const { return kind; }
    QString errorWord() const { return word; }

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
    bool fail(Error error, const QString &argument, const QString &text);

    QCommandLineParser parser;
    QList<QCommandLineOption> options;
    QList<QPair<QString, QString>> helpLines; // left column, description
    QStringList windowOptionNames;
    bool positionalAllowed = false;
    bool oneDashValues = false;
    Error kind = Error::None;
    QString word;
    QString errorText;
};
