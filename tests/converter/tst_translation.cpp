#include "Translation.h"
#include "widgets/QtTranslation.h"

#include <QTest>

class TestTranslation : public QObject
{
    Q_OBJECT

private slots:
    void fileNameFromArguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("fname");
        QTest::addColumn<QString>("number"); // 1234.5 as the plot and its readout show it
        QTest::newRow("none") << QStringList{"zor2conv"} << QString() << "1234,5";
        QTest::newRow("-lde") << QStringList{"zor2conv", "-lde"} << "zor2convert_de"
                              << "1234,5";
        QTest::newRow("bare -l skipped")
            << QStringList{"zor2conv", "-l", "-len"} << "zor2convert_en"
            << "1234.5";
        QTest::newRow("first one counts")
            << QStringList{"zor2conv", "-lde", "-len"} << "zor2convert_de"
            << "1234,5";
        QTest::newRow("prefix not doubled")
            << QStringList{"zor2conv", "-lzor2convert_fr"} << "zor2convert_fr"
            << "1234,5";
        QTest::newRow("prefix inside")
            << QStringList{"zor2conv", "-lx/zor2convert_it"} << "x/zor2convert_it"
            << "1234,5";
        QTest::newRow("program name examined") << QStringList{"-lnl"} << "zor2convert_nl"
                                               << "1234,5";
        QTest::newRow("among batch options")
            << QStringList{"zor2conv", "--convert", "a.hfd", "-len"} << "zor2convert_en"
            << "1234.5";
        QTest::newRow("files after --")
            << QStringList{"zor2conv", "--convert", "--", "-lauf.hfd"} << QString() << "1234,5";
    }
    void fileNameFromArguments()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, fname);
        QFETCH(QString, number);
        QCOMPARE(translationFileName(arguments), fname);
        QCOMPARE(numberLocale(arguments).toString(1234.5, 'f', 1), number);
    }

    // Qt's own dialogs speak the program's language: German unless -l asks for another.
    void qtTextsInTheProgramsLanguage()
    {
        QCOMPARE(qtLanguage({"zor2conv", "-len"}), QStringLiteral("en"));
        QVERIFY(installQtTranslation(*QCoreApplication::instance(), qtLanguage({"zor2conv"})));
        QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"),
                 QStringLiteral("Suchen in:"));
    }
};

QTEST_GUILESS_MAIN(TestTranslation)
#include "tst_translation.moc"
