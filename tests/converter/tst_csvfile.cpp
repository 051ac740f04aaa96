#include "CsvFile.h"

#include <QTest>

#include <cmath>
#include <limits>
#include <memory>

// The CSV of a converted curve: header and the numbers a German spreadsheet reads back exactly.
class TestCsvFile : public QObject
{
    Q_OBJECT

private:
    // Reads a cell as a spreadsheet with a decimal comma does.
    static double zurueck(QByteArray zelle)
    {
        bool ok = false;
        const double v = zelle.replace(',', '.').toDouble(&ok);
        return ok ? v : std::nan("");
    }

private slots:
    void readsBackEqual_data()
    {
        QTest::addColumn<int>("typ");
        QTest::addColumn<bool>("kanal1");
        QTest::addColumn<QList<double>>("frequenz");
        QTest::addColumn<QList<double>>("wert");
        QTest::addColumn<QByteArray>("kopf");
        // A crystal swept over 200 Hz: the six digits of a new curve file merge the points.
        QTest::newRow("level, narrow crystal sweep")
            << int(KurventypWobbel) << true
            << QList<double>{10.0000001, 10.0000002, 10.0000003, 10.00000031}
            << QList<double>{-3.25, -0.1 - 0.2, -73.000000000001, 1e-7}
            << QByteArray("Frequenz (MHz);Kanal 1 (dB);Kanal 2 (dB)\r\n");
        QTest::newRow("SWR, channel 2 only")
            << int(KurventypSwvAntenne) << false << QList<double>{3.5, 3.65, 3.8, 1234567.125}
            << QList<double>{1.0 / 3, 1.23, 99.5, 2.0}
            << QByteArray("Frequenz (MHz);Kanal 2 (SWV)\r\n");
    }
    void readsBackEqual()
    {
        QFETCH(int, typ);
        QFETCH(bool, kanal1);
        QFETCH(QList<double>, frequenz);
        QFETCH(QList<double>, wert);
        QFETCH(QByteArray, kopf);
        auto r = std::make_unique<CurveRecord>();
        r->kurvealt.kurventyp = typ;
        r->punkte = qint32(frequenz.size());
        r->kanal1ok = kanal1;
        r->kanal2ok = true;
        for (int i = 0; i < frequenz.size(); ++i) {
            r->frequenz[i] = frequenz[i];
            r->wert1[i] = wert[i];
            r->wert2[i] = -wert[i] * 7;
        }
        const QByteArray csv = CsvFile::inhalt(*r);
        QVERIFY(csv.startsWith(kopf));
        QVERIFY(csv.endsWith("\r\n"));
        const QList<QByteArray> zeilen =
            QByteArray(csv).replace("\r\n", "\n").chopped(1).split('\n').mid(1);
        QCOMPARE(zeilen.size(), frequenz.size());
        for (int i = 0; i < zeilen.size(); ++i) {
            const QList<QByteArray> zellen = zeilen[i].split(';');
            QCOMPARE(zellen.size(), kanal1 ? 3 : 2);
            QVERIFY(!zeilen[i].contains('.') && !zeilen[i].contains('e'));
            QCOMPARE(zurueck(zellen[0]), frequenz[i]);
            if (kanal1)
                QCOMPARE(zurueck(zellen[1]), wert[i]);
            QCOMPARE(zurueck(zellen.last()), -wert[i] * 7);
        }
    }

    void cells_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QByteArray>("cell");
        QTest::newRow("no exponent") << 1e-5 << QByteArray("0,00001");
        QTest::newRow("negative zero") << -0.0 << QByteArray("0");
        QTest::newRow("no value") << std::numeric_limits<double>::quiet_NaN() << QByteArray();
    }
    void cells()
    {
        QFETCH(double, value);
        QFETCH(QByteArray, cell);
        QCOMPARE(CsvFile::zelle(value), cell);
    }
};

QTEST_GUILESS_MAIN(TestCsvFile)
#include "tst_csvfile.moc"
