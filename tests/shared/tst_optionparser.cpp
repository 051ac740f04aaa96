#include "commandline/CommandLine.h"

#include <QTest>

// The parser both programs build their command lines on, with words that are no option (the
// loader's own rows are in its options test).
class TestOptionParser : public QObject
{
    Q_OBJECT

private slots:
    void takesFilesAndOptions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("files"); // the words that are no option
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("error"); // empty: accepted
        QTest::newRow("files around an option")
            << QStringList{"a.hfd", "--output-dir", "neu", "b.hfd"} << QStringList{"a.hfd", "b.hfd"}
            << "neu" << QString();
        QTest::newRow("after -- every word is a file")
            << QStringList{"--verbose", "--", "--verbose", "-x"} << QStringList{"--verbose", "-x"}
            << QString() << QString();
        QTest::newRow("a lone dash is a file")
            << QStringList{"-"} << QStringList{"-"} << QString() << QString();
        QTest::newRow("folder is an option")
            << QStringList{"a.hfd", "--output-dir", "--verbose"} << QStringList{} << QString()
            << "--output-dir braucht einen Wert";
        QTest::newRow("flag with a value") << QStringList{"--verbose=1"} << QStringList{}
                                           << QString() << "--verbose nimmt keinen Wert";
        QTest::newRow("Qt's option with two dashes")
            << QStringList{"--style", "fusion", "a.hfd"} << QStringList{"a.hfd"} << QString()
            << QString();
    }
    void takesFilesAndOptions()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        OptionParser parser;
        parser.addOption({QStringLiteral("verbose"), QStringLiteral("Diagnose")});
        parser.addOption(
            {QStringLiteral("output-dir"), QStringLiteral("Ziel"), QStringLiteral("ORDNER")});
        parser.addWindowOptions();
        parser.allowPositionalArguments();
        QCOMPARE(parser.parse(QStringList{QStringLiteral("prog")} + arguments), error.isEmpty());
        QCOMPARE(parser.error().message, error);
        if (error.isEmpty()) {
            QTEST(parser.positionalArguments(), "files");
            QTEST(parser.value(QStringLiteral("output-dir")), "folder");
        }
    }
};

QTEST_GUILESS_MAIN(TestOptionParser)
#include "tst_optionparser.moc"
