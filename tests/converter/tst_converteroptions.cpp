#include "ConverterOptions.h"

#include <QTest>

// The converter's command line, parsed in the process: what each call asks for, or the error.
class TestConverterOptions : public QObject
{
    Q_OBJECT

    using Mode = ConverterOptions::Mode;
    using Error = CommandLine::OptionsError::Kind;

private slots:
    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<Error>("error");
        QTest::addColumn<QString>("argument"); // what the error is about
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QStringList>("languages");
        const QStringList none;
        QTest::newRow("folder with one dash")
            << QStringList{"--convert", "a.hfd", "--output-dir", "-x", "b.hfd"} << Mode::Convert
            << Error::None << QString() << QStringList{"a.hfd", "b.hfd"} << none;
        QTest::newRow("language options wherever they stand")
            << QStringList{"-lde", "--convert", "-l", "a.hfd", "-len"} << Mode::Convert
            << Error::None << QString() << QStringList{"a.hfd"} << QStringList{"-lde", "-len"};
        QTest::newRow("after -- every word a file")
            << QStringList{"--convert", "--", "-lauf.hfd", "--bogus"} << Mode::Convert
            << Error::None << QString() << QStringList{"-lauf.hfd", "--bogus"} << none;
        QTest::newRow("window with Qt's options")
            << QStringList{"-style", "fusion", "a.hfd", "--platform=xcb", "-reverse"}
            << Mode::Window << Error::None << QString() << QStringList{"a.hfd"} << none;
        QTest::newRow("help before conversion") << QStringList{"--convert", "--help"} << Mode::Help
                                                << Error::None << QString() << none << none;
        QTest::newRow("no input") << QStringList{"--convert", "-lde"} << Mode::Convert
                                  << Error::MissingInput << QString() << none
                                  << QStringList{"-lde"};
        QTest::newRow("unknown option, as typed")
            << QStringList{"--bogus=1"} << Mode::Window << Error::UnknownOption << "--bogus=1"
            << none << none;
        QTest::newRow("one dash, a word") << QStringList{"-convert"} << Mode::Window
                                          << Error::UnknownOption << "-convert" << none << none;
        QTest::newRow("flag with a value")
            << QStringList{"--convert=x.hfd"} << Mode::Window << Error::UnexpectedValue
            << "--convert=x.hfd" << none << none;
        QTest::newRow("folder is an option")
            << QStringList{"--convert", "a.hfd", "--output-dir", "--verbose"} << Mode::Window
            << Error::MissingValue << "--output-dir" << none << none;
        QTest::newRow("empty folder after =")
            << QStringList{"--convert", "a.hfd", "--output-dir=", "--output-dir", "o"}
            << Mode::Window << Error::MissingValue << "--output-dir" << none << none;
        QTest::newRow("Qt's option without its value")
            << QStringList{"a.hfd", "-platform"} << Mode::Window << Error::MissingValue
            << "-platform" << none << none;
        QTest::newRow("batch option without --convert")
            << QStringList{"--png", "a.hfd"} << Mode::Window << Error::Combination << "--png"
            << QStringList{"a.hfd"} << none;
        QTest::newRow("empty argument after --")
            << QStringList{"--convert", "--", ""} << Mode::Window << Error::EmptyArgument
            << QString() << none << none;
    }
    void parse()
    {
        QFETCH(QStringList, arguments);
        const ConverterOptions options =
            ConverterOptions::parse(QStringList{QStringLiteral("zor2conv")} + arguments);
        QTEST(options.error.kind, "error");
        QTEST(options.error.word, "argument");
        QTEST(options.mode, "mode");
        QTEST(options.inputs, "inputs");
        QTEST(options.languageOptions, "languages");
        if (!options.error.isSet() && arguments.contains(QStringLiteral("--output-dir")))
            QCOMPARE(options.outputDir, QStringLiteral("-x"));
    }
};

QTEST_GUILESS_MAIN(TestConverterOptions)
#include "tst_converteroptions.moc"
