#include "core/CsvFile.h"

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
    static double readBack(QByteArray cell)
    {
        bool ok = false;
        const double v = cell.replace(',', '.').toDouble(&ok);
        return ok ? v : std::nan("");
    }

private slots:
    void readsBackEqual_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("channel1");
        QTest::addColumn<QList<double>>("frequency");
        QTest::addColumn<QList<double>>("value");
        QTest::addColumn<QByteArray>("header");
        // A crystal swept over 200 Hz: the six digits of a new curve file merge the points.
        QTest::newRow("level, narrow crystal sweep")
            << int(CurveTypeSweep) << true
            << QList<double>{10.0000001, 10.0000002, 10.0000003, 10.00000031}
            << QList<double>{-3.25, -0.1 - 0.2, -73.000000000001, 1e-7}
            << QByteArray("Frequenz (MHz);Kanal 1 (dB);Kanal 2 (dB)\r\n");
        QTest::newRow("SWR, channel 2 only")
            << int(CurveTypeAntennaSwr) << false << QList<double>{3.5, 3.65, 3.8, 1234567.125}
            << QList<double>{1.0 / 3, 1.23, 99.5, 2.0}
            << QByteArray("Frequenz (MHz);Kanal 2 (SWV)\r\n");
    }
    void readsBackEqual()
    {
        QFETCH(int, type);
        QFETCH(bool, channel1);
        QFETCH(QList<double>, frequency);
        QFETCH(QList<double>, value);
        QFETCH(QByteArray, header);
        auto r = std::make_unique<CurveRecord>();
        r->oldCurve.curveType = type;
        r->pointCount = qint32(frequency.size());
        r->channel1Ok = channel1;
        r->channel2Ok = true;
        for (int i = 0; i < frequency.size(); ++i) {
            r->frequency[i] = frequency[i];
            r->value1[i] = value[i];
            r->value2[i] = -value[i] * 7;
        }
        const QByteArray csv = CsvFile::content(*r);
        QVERIFY(csv.startsWith(header));
        QVERIFY(csv.endsWith("\r\n"));
        const QList<QByteArray> lines =
            QByteArray(csv).replace("\r\n", "\n").chopped(1).split('\n').mid(1);
        QCOMPARE(lines.size(), frequency.size());
        for (int i = 0; i < lines.size(); ++i) {
            const QList<QByteArray> cells = lines[i].split(';');
            QCOMPARE(cells.size(), channel1 ? 3 : 2);
            QVERIFY(!lines[i].contains('.') && !lines[i].contains('e'));
            QCOMPARE(readBack(cells[0]), frequency[i]);
            if (channel1)
                QCOMPARE(readBack(cells[1]), value[i]);
            QCOMPARE(readBack(cells.last()), -value[i] * 7);
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
        QCOMPARE(CsvFile::cell(value), cell);
    }
};

QTEST_GUILESS_MAIN(TestCsvFile)
#include "tst_csvfile.moc"
