#include "core/NewCurveFile.h"
#include "core/NewCurveReader.h"

#include <QTest>

#include <cmath>
#include <memory>

// The strict reader of new curve files: what the writer writes reads back, anything else is
// refused with its line and reason.
class TestNewCurveReader : public QObject
{
    Q_OBJECT

private slots:
    void readsWhatTheWriterWrites()
    {
        auto r = std::make_unique<CurveRecord>();
        r->pointCount = 3;
        r->channel1Ok = r->channel2Ok = true;
        const double f[] = {0.00001234, 145.1234567, 145.1234568};
        const double w[] = {-12.3456789, 1e300, -1e-310};
        std::copy(f, f + 3, r->frequency.begin());
        std::copy(w, w + 3, r->value2.begin());
        const NewCurveReader::Result e = NewCurveReader::parse(
            NewCurveFile::fileContent(QStringLiteral("K2: SWV, Dipol"), *r, 2));
        QVERIFY2(e.ok(), qPrintable(e.message()));
        QCOMPARE(e.curve.header, QStringLiteral("K2: SWV, Dipol"));
        QCOMPARE(e.curve.quantity(), Quantity::Swr);
        QCOMPARE(e.curve.frequency, QList<double>({1.234e-05, 145.123, 145.123}));
        QCOMPARE(e.curve.value, QList<double>({-12.3457, 1e300, -1e-310}));
    }

    void refusals_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << QByteArray() << 1 << "Zeile 1: die Datei ist leer";
        QTest::newRow("no header")
            << QByteArray("1;2\n") << 1 << "Zeile 1: die erste Zeile beginnt nicht mit \"#\"";
        QTest::newRow("cut off") << QByteArray("#a\n1;2\n3;4") << 3
                                 << "Zeile 3: die letzte Zeile endet nicht mit einem "
                                    "Zeilenvorschub; ist die Datei abgeschnitten?";
        QTest::newRow("carriage return")
            << QByteArray("#a\r\n1;2\r\n") << 1 << "Zeile 1: Zeilenende mit Wagenruecklauf (CR)";
        QTest::newRow("empty line") << QByteArray("#a\n1;2\n\n") << 3 << "Zeile 3: leere Zeile";
        QTest::newRow("three columns")
            << QByteArray("#a\n1;2;3\n") << 2 << "Zeile 2: mehr als zwei Spalten: \"1;2;3\"";
        QTest::newRow("decimal comma")
            << QByteArray("#a\n1,5;2\n") << 2 << "Zeile 2: die Frequenz \"1,5\" ist keine Zahl";
        QTest::newRow("blank") << QByteArray("#a\n1; 2\n") << 2
                               << "Zeile 2: der Wert \" 2\" ist keine Zahl";
        QTest::newRow("control byte shown escaped")
            << QByteArray("#a\n1;2\x1b[2J\n") << 2
            << "Zeile 2: der Wert \"2\\x1b[2J\" ist keine Zahl";
        QTest::newRow("falling frequency")
            << QByteArray("#a\n1;1\n2;1\n2;1\n1.5;1\n") << 5
            << "Zeile 5: die Frequenz ist kleiner als in der Zeile davor";
        QTest::newRow("no points") << QByteArray("#a\n") << 2 << "Zeile 2: keine Messpunkte";
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF#a\n1;2\n") << 1
                                         << "Zeile 1: die Datei beginnt mit einer "
                                            "UTF-8-Bytereihenfolgemarke (BOM)";
        QTest::newRow("nan, as the writer refuses it")
            << QByteArray("#a\n1;nan\n") << 2 << "Zeile 2: der Wert \"nan\" ist nicht darstellbar";
        QTest::newRow("beyond the axis") << QByteArray("#a\n1;-1e308\n") << 2
                                         << "Zeile 2: der Wert \"-1e308\" ist nicht darstellbar";
        QTest::newRow("beyond a double")
            << QByteArray("#a\n1e400;1\n") << 2
            << "Zeile 2: die Frequenz \"1e400\" ist nicht darstellbar: Zahl zu gross";
    }
    void refusals()
    {
        QFETCH(QByteArray, content);
        const NewCurveReader::Result e = NewCurveReader::parse(content);
        QVERIFY(!e.ok());
        QTEST(e.line, "line");
        QTEST(e.message(), "message");
        QVERIFY(e.curve.frequency.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestNewCurveReader)
#include "tst_newcurvereader.moc"
