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
        QTest::newRow("none") << QStringList{"zor2conv"} << QString();
        QTest::newRow("-lde") << QStringList{"zor2conv", "-lde"} << "zor2convert_de";
        QTest::newRow("bare -l skipped")
            << QStringList{"zor2conv", "-l", "-len"} << "zor2convert_en";
        QTest::newRow("first one counts")
            << QStringList{"zor2conv", "-lde", "-len"} << "zor2convert_de";
        QTest::newRow("prefix not doubled")
            << QStringList{"zor2conv", "-lzor2convert_fr"} << "zor2convert_fr";
        QTest::newRow("prefix inside")
            << QStringList{"zor2conv", "-lx/zor2convert_it"} << "x/zor2convert_it";
        QTest::newRow("program name examined") << QStringList{"-lnl"} << "zor2convert_nl";
        QTest::newRow("among batch options")
            << QStringList{"zor2conv", "--convert", "a.hfd", "-len"} << "zor2convert_en";
        QTest::newRow("files after --")
            << QStringList{"zor2conv", "--convert", "--", "-lauf.hfd"} << QString();
    }
    void fileNameFromArguments()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, fname);
        QCOMPARE(translationFileName(arguments), fname);
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
